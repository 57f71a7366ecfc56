// Built-ins for ranges, lists, dicts and strings: nums, append, pop, keys, values, joinstr, splitstr.
#include "builtins/builtins.h"

namespace qlr {
namespace builtins {

Value nums(NativeFn& self, Args args) {
  need(self, args, 1, "nums() needs 1 to 3 arguments");
  size_t used = args.size() < 3 ? args.size() : 3;
  for (size_t i = 0; i < used; ++i)
    if (!args[i].is(ValueKind::Int)) self.interp->throwError("ArgumentError", "nums() arguments must be ints", 0);
  int64_t start = used == 1 ? 0 : args[0].asInt();
  int64_t stop = used == 1 ? args[0].asInt() : args[1].asInt();
  int64_t step = used == 3 ? args[2].asInt() : 1;
  if (step == 0) self.interp->throwError("ArgumentError", "nums() step cannot be zero", 0);
  return Value(makeRef<RangeVal>(start, stop, step));
}

Value append(NativeFn& self, Args args) {
  if (args.size() < 2 || !args[0].is(ValueKind::List))
    self.interp->throwError("ArgumentError", "append(list, value) expects a list", 0);
  holding(args[0].asList(), args[1]);
  args[0].asList()->items.push_back(args[1]);
  return Value();
}

Value pop(NativeFn& self, Args args) {
  if (args.empty() || !args[0].is(ValueKind::List))
    self.interp->throwError("ArgumentError", "pop(list) expects a list", 0);
  auto& items = args[0].asList()->items;
  if (items.empty()) self.interp->throwError("IndexError", "pop from an empty list", 0);
  Value last = std::move(items.back());
  items.pop_back();
  return last;
}

Value keys(NativeFn& self, Args args) {
  if (args.empty() || !args[0].is(ValueKind::Dict))
    self.interp->throwError("ArgumentError", "keys(dict) expects a dict", 0);
  std::vector<Value> items;
  items.reserve(args[0].asDict()->size());
  args[0].asDict()->forEach([&](const Value& key, const Value&) { items.push_back(key); });
  return makeList(std::move(items));
}

Value values(NativeFn& self, Args args) {
  if (args.empty() || !args[0].is(ValueKind::Dict))
    self.interp->throwError("ArgumentError", "values(dict) expects a dict", 0);
  std::vector<Value> items;
  items.reserve(args[0].asDict()->size());
  args[0].asDict()->forEach([&](const Value&, const Value& value) { items.push_back(value); });
  return makeList(std::move(items));
}

Value joinstr(NativeFn& self, Args args) {
  if (args.size() < 2 || !args[0].is(ValueKind::String) || !args[1].is(ValueKind::List))
    self.interp->throwError("ArgumentError", "joinstr(sep, list) expects a string and a list", 0);
  std::string_view sep = args[0].asString()->view();
  const auto& items = args[1].asList()->items;
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) text += sep;
    appendValue(text, items[i], false);
  }
  return makeString(text);
}

Value splitstr(NativeFn& self, Args args) {
  if (args.size() < 2 || !args[0].is(ValueKind::String) || !args[1].is(ValueKind::String))
    self.interp->throwError("ArgumentError", "splitstr(string, sep) expects two strings", 0);
  std::string_view text = args[0].asString()->view();
  std::string_view sep = args[1].asString()->view();
  std::vector<Value> pieces;
  if (sep.empty()) {
    pieces.push_back(args[0]);
    return makeList(std::move(pieces));
  }
  size_t from = 0;
  for (size_t at; (at = text.find(sep, from)) != std::string_view::npos; from = at + sep.size())
    pieces.push_back(makeString(text.substr(from, at - from)));
  pieces.push_back(makeString(text.substr(from)));
  return makeList(std::move(pieces));
}

}  // namespace builtins
}  // namespace qlr

// Built-ins for ranges, lists, dicts and strings: nums, append, pop, keys, values, joinstr, splitstr.
#include "builtins/builtins.h"

namespace qlr {
namespace builtins {

namespace {

// nums(stop), nums(start, stop) or nums(start, stop, step); the kinds of
// all the arguments in use are checked before the step is.
Value nums(NativeFn& self, Args args) {
  need(self, args, 1, "nums() needs 1 to 3 arguments");
  const char* notInts = "nums() arguments must be ints";
  int64_t first = intArg(self, args, 0, notInts);
  if (args.size() == 1) return Value(makeRef<RangeVal>(0, first, 1));
  int64_t second = intArg(self, args, 1, notInts);
  int64_t step = args.size() == 2 ? 1 : intArg(self, args, 2, notInts);
  if (step == 0) fail(self, "ArgumentError", "nums() step cannot be zero");
  return Value(makeRef<RangeVal>(first, second, step));
}

Value append(NativeFn& self, Args args) {
  const char* usage = "append(list, value) expects a list";
  need(self, args, 2, usage);
  ListValue& list = listArg(self, args, 0, usage);
  holding(&list, args[1]);
  list.items.push_back(args[1]);
  return Value();
}

Value pop(NativeFn& self, Args args) {
  auto& items = listArg(self, args, 0, "pop(list) expects a list").items;
  if (items.empty()) fail(self, "IndexError", "pop from an empty list");
  Value last = std::move(items.back());
  items.pop_back();
  return last;
}

// A new list of what pick takes from each entry of dict, in its iteration order.
template <class Pick>
Value eachEntry(const DictValue& dict, Pick pick) {
  std::vector<Value> items;
  items.reserve(dict.size());
  dict.forEach([&](const Value& key, const Value& value) { items.push_back(pick(key, value)); });
  return makeList(std::move(items));
}

Value keys(NativeFn& self, Args args) {
  return eachEntry(dictArg(self, args, 0, "keys(dict) expects a dict"),
                   [](const Value& key, const Value&) -> const Value& { return key; });
}

Value values(NativeFn& self, Args args) {
  return eachEntry(dictArg(self, args, 0, "values(dict) expects a dict"),
                   [](const Value&, const Value& value) -> const Value& { return value; });
}

Value joinstr(NativeFn& self, Args args) {
  const char* usage = "joinstr(sep, list) expects a string and a list";
  need(self, args, 2, usage);
  std::string_view sep = stringArg(self, args, 0, usage);
  const auto& items = listArg(self, args, 1, usage).items;
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) text += sep;
    appendValue(text, items[i], false);
  }
  return makeString(text);
}

Value splitstr(NativeFn& self, Args args) {
  const char* usage = "splitstr(string, sep) expects two strings";
  need(self, args, 2, usage);
  std::string_view text = stringArg(self, args, 0, usage);
  std::string_view sep = stringArg(self, args, 1, usage);
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

const Builtin kTable[] = {{"nums", nums},     {"append", append},   {"pop", pop},          {"keys", keys},
                          {"values", values}, {"joinstr", joinstr}, {"splitstr", splitstr}};

}  // namespace

constinit const Table kCollectionBuiltins = kTable;

}  // namespace builtins
}  // namespace qlr

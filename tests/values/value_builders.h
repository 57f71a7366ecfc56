// Small builders for script values, and a probe that names the script error a call raises.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frontend/parser.h"
#include "frontend/token.h"
#include "host/host.h"
#include "interp/interpreter.h"

namespace qlr::testing {

inline Value I(int64_t i) { return Value::integer(i); }
inline Value F(double d) { return Value::number(d); }
inline Value B(bool b) { return Value::boolean(b); }
inline Value S(std::string_view s) { return makeString(s); }
inline Value L(std::initializer_list<Value> items) { return makeList(std::vector<Value>(items)); }
inline Value D(std::initializer_list<std::pair<const char*, Value>> entries) {
  auto dict = makeRef<DictValue>();
  for (const auto& [key, value] : entries) dict->set(S(key), value);
  return Value(dict);
}
inline Value R(int64_t start, int64_t stop, int64_t step) { return Value(makeRef<RangeVal>(start, stop, step)); }
// depth lists, each holding the next; the innermost holds innermost.
inline Value nested(size_t depth, std::vector<Value> innermost = {}) {
  Value top = makeList(std::move(innermost));
  for (size_t i = 1; i < depth; ++i) top = L({top});
  return top;
}

// depth lists, each holding the next; the innermost holds items, then the
// outermost: a list inside itself, depth levels down. Returns the outermost
// and the innermost, whose items the caller clears to free the ring.
inline std::pair<Value, Value> ring(size_t depth, std::vector<Value> items) {
  Value top = L({});
  Value at = top;
  for (size_t i = 1; i < depth; ++i) {
    Value next = L({});
    at.asList()->items.push_back(next);
    at = next;
  }
  items.push_back(top);
  at.asList()->items = std::move(items);
  return {top, at};
}

// A definition node for a function value; the caller keeps it alive while the function lives.
inline std::unique_ptr<Node> definition(const std::string& name, NodeKind kind = NodeKind::FuncDef) {
  auto def = std::make_unique<Node>(kind, 1);
  def->text = name;
  def->children.push_back(std::make_unique<Node>(NodeKind::Block, 1));
  return def;
}
inline Value Fn(const Node* def) { return Value(makeRef<FunctionValue>(def, nullptr)); }
inline Value Native() { return Value(makeRef<NativeFn>([](NativeFn&, Args) { return Value(); })); }

// Runs source in interp's global scope (its tree kept by interp) and
// returns the global name binds afterwards, or null.
inline Value runAndRead(Interpreter& interp, const std::string& source, const char* name) {
  interp.execBlock(interp.keepTree(parseSource(source, "t.qlr")), interp.globals.get());
  Value* bound = interp.globals->lookup(intern(name));
  return bound ? *bound : Value();
}

// What textReporter raised: "Kind: message @line".
struct Reported {
  std::string text;
};

// A reporter with no interpreter behind it, for value operations tested
// alone: it throws what it is given as a Reported.
inline const ErrorReporter& textReporter() {
  static const ErrorReporter reporter(nullptr, [](void*, std::string_view kind, std::string_view message, int line) {
    throw Reported{std::string(kind) + ": " + std::string(message) + " @" + std::to_string(line)};
  });
  return reporter;
}

// What f raised through textReporter, or "nothing reported".
template <class F>
std::string reportedBy(F&& f) {
  try {
    f();
  } catch (const Reported& reported) {
    return reported.text;
  }
  return "nothing reported";
}

// A value as a test reads it: its kind, then its quoted rendering.
inline std::string typed(const Value& v) { return std::string(valueKind(v)) + " " + valueToString(v, true); }

// Runs f and returns "Kind: msg" of the script error it raises (its line
// goes to *line), or "no error".
template <class F>
std::string raised(F&& f, int64_t* line = nullptr) {
  try {
    f();
  } catch (const QuilloraThrow& thrown) {
    if (!thrown.value.is(ValueKind::Instance)) return "thrown " + typed(thrown.value);
    const InstanceValue* error = thrown.value.asInstance();
    const Value* msg = error->fields.find(intern("msg"));
    const Value* at = error->fields.find(intern("line"));
    if (line && at && at->is(ValueKind::Int)) *line = at->asInt();
    return error->cls->name + ": " + (msg ? valueToString(*msg, false) : "<no msg>");
  }
  return "no error";
}

// "Kind: msg @line" of the runtime error in flight in interp.
inline std::string errorInFlight(const Interpreter& interp) {
  if (!interp.inFlight.is(ValueKind::Instance)) return "in flight: " + typed(interp.inFlight);
  const InstanceValue* error = interp.inFlight.asInstance();
  return error->cls->name + ": " + valueToString(*error->fields.find(intern("msg")), false) + " @" +
         valueToString(*error->fields.find(intern("line")), false);
}

// typed() of what f returns, or "Kind: msg" of the script error it raises.
template <class F>
std::string outcome(F&& f) {
  std::string result;
  std::string error = raised([&] { result = typed(f()); });
  return error == "no error" ? result : error;
}

}  // namespace qlr::testing

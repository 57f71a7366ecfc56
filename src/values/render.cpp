// Rendering values as text: what out prints, what + joins, how keys and messages read.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "interp/budget.h"
#include "values/stack.h"
#include "values/value.h"

namespace qlr {

namespace {

// Containers being rendered, outermost first. A container met again while
// it is still open is the container inside itself: it renders as a marker
// instead of recursing forever.
std::vector<const Obj*>& openContainers() {
  static auto* open = new std::vector<const Obj*>();  // outlives static destructors
  return *open;
}

struct OpenContainer {
  explicit OpenContainer(const Obj* obj) {
    auto& open = openContainers();
    if (open.size() >= static_cast<size_t>(kMaxContainerDepth) || nativeStackLow()) raiseRecursionError();
    open.push_back(obj);
  }
  ~OpenContainer() { openContainers().pop_back(); }
};

bool isOpen(const Obj* obj) {
  for (const Obj* o : openContainers())
    if (o == obj) return true;
  return false;
}

void appendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

void appendInt(std::string& out, int64_t i) {
  char buf[24];
  auto end = std::to_chars(buf, buf + sizeof buf, i).ptr;
  out.append(buf, static_cast<size_t>(end - buf));
}

}  // namespace

std::string formatDouble(double x) {
  if (std::isnan(x)) return "nan";  // whatever the sign bit: the C library would write "-nan"
  if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", x);
  std::string text = buf;
  if (text.find_first_of(".e") == std::string::npos) text += ".0";
  return text;
}

void appendValue(std::string& out, const Value& v, bool quoteStrings) {
  spendBudget(1 + (v.is(ValueKind::String) ? v.asString()->size / 16 : 0));
  switch (v.kind()) {
    case ValueKind::Null:
      out += "null";
      return;
    case ValueKind::Bool:
      out += v.asBool() ? "yes" : "no";
      return;
    case ValueKind::Int:
      appendInt(out, v.asInt());
      return;
    case ValueKind::Float:
      out += formatDouble(v.asFloat());
      return;
    case ValueKind::String:
      if (quoteStrings) {
        appendQuoted(out, v.asString()->view());
      } else {
        out += v.asString()->view();
      }
      return;
    case ValueKind::List: {
      const ListValue* list = v.asList();
      if (isOpen(list)) {
        out += "[...]";
        return;
      }
      OpenContainer guard(list);
      out += '[';
      for (size_t i = 0; i < list->items.size(); ++i) {
        if (i) out += ", ";
        Value item = list->items[i];
        appendValue(out, item, true);
      }
      out += ']';
      return;
    }
    case ValueKind::Dict: {
      const DictValue* dict = v.asDict();
      if (isOpen(dict)) {
        out += "{...}";
        return;
      }
      OpenContainer guard(dict);
      out += '{';
      bool first = true;
      dict->forEach([&](const Value& key, const Value& value) {
        if (!first) out += ", ";
        first = false;
        out += '"';
        out += key.asString()->view();
        out += "\": ";
        appendValue(out, value, true);
      });
      out += '}';
      return;
    }
    case ValueKind::Function:
      out += "<function ";
      out += v.asFunction()->name();
      out += '>';
      return;
    case ValueKind::Class:
      out += "<blueprint ";
      out += v.asClass()->name;
      out += '>';
      return;
    case ValueKind::Instance:
      out += '<';
      out += v.asInstance()->cls->name;
      out += " instance>";
      return;
    case ValueKind::Native:
      out += "<native function>";
      return;
    case ValueKind::Range:
      out += "<range>";
      return;
  }
}

std::string valueToString(const Value& v, bool quoteStrings) {
  if (v.is(ValueKind::String) && !quoteStrings) return std::string(v.asString()->view());
  std::string out;
  appendValue(out, v, quoteStrings);
  return out;
}

}  // namespace qlr

// Rendering values as text: what out prints, what + joins, how keys and messages read.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "support/budget.h"
#include "values/container_path.h"
#include "values/value.h"

namespace qlr {

namespace {

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

void spendOnValue(const Value& v) { spendBudget(1 + (v.is(ValueKind::String) ? v.asString()->size / 16 : 0)); }

// The containers a rendering has open, each marked while it is.
class OpenContainers {
 public:
  OpenContainers() = default;
  OpenContainers(const OpenContainers&) = delete;
  OpenContainers& operator=(const OpenContainers&) = delete;
  ~OpenContainers() {
    while (!path.empty()) close();  // an error (memory, the fuzzing budget) cut the rendering short
  }

  // The opening bracket of a list or dict, or the marker of one inside
  // itself when it is open already.
  void enter(std::string& out, const Value& v) {
    bool isList = v.is(ValueKind::List);
    const Obj* obj = v.asObj();
    if (obj->rendering) {
      out += isList ? "[...]" : "{...}";
      return;
    }
    path.open(obj);
    obj->rendering = true;
    out += isList ? '[' : '{';
  }
  void close() {
    path.top().first->rendering = false;
    path.close();
  }

  ContainerPath path;
};

// appendValue of a list or dict, kept apart so that rendering a scalar,
// far the commonest case, sets up no path.
[[gnu::noinline]] void appendContainer(std::string& out, const Value& v) {
  OpenContainers open;
  open.enter(out, v);
  while (!open.path.empty()) {
    ContainerPath::Frame& at = open.path.top();
    const Value* item;
    if (at.first->type == ObjType::List) {
      const auto& items = static_cast<const ListValue*>(at.first)->items;
      if (at.next >= items.size()) {
        out += ']';
        open.close();
        continue;
      }
      if (at.next) out += ", ";
      item = &items[at.next++];
    } else {
      const auto* dict = static_cast<const DictValue*>(at.first);
      at.next = dict->liveFrom(at.next);
      if (at.next >= dict->entries.size()) {
        out += '}';
        open.close();
        continue;
      }
      if (at.started) out += ", ";
      at.started = true;
      const DictValue::Entry& entry = dict->entries[at.next++];
      out += '"';
      out += entry.key.asString()->view();
      out += "\": ";
      item = &entry.value;
    }
    if (item->is(ValueKind::List) || item->is(ValueKind::Dict)) {
      spendOnValue(*item);
      open.enter(out, *item);
    } else {
      appendValue(out, *item, true);
    }
  }
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
  spendOnValue(v);
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
    case ValueKind::List:
    case ValueKind::Dict:
      appendContainer(out, v);
      return;
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

std::string_view concatText(const Value& v, std::string& scratch) {
  if (v.is(ValueKind::String)) return v.asString()->view();
  appendValue(scratch, v, false);
  return scratch;
}

std::string valueToString(const Value& v, bool quoteStrings) {
  if (v.is(ValueKind::String) && !quoteStrings) return std::string(v.asString()->view());
  std::string out;
  appendValue(out, v, quoteStrings);
  return out;
}

}  // namespace qlr

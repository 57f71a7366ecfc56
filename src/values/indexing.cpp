// Indexing containers and walking iterables.
#include "values/messages.h"
#include "values/value.h"

namespace qlr {

int64_t sequencePosition(int64_t i, size_t n) {
  int64_t len = static_cast<int64_t>(n);
  if (i < 0) i += len;
  return i < 0 || i >= len ? -1 : i;
}

int64_t asIndex(const Value& index, int line, const ErrorReporter& report) {
  if (!index.is(ValueKind::Int)) report(kTypeMismatchError, message::indexNotInt(index), line);
  return index.asInt();
}

Value dictKey(const Value& key) {
  if (key.is(ValueKind::String)) return key;
  return makeString(valueToString(key, false));
}

std::vector<Value> materializeIterable(const Value& iterable, int line, const ErrorReporter& report) {
  std::vector<Value> items;
  spendBudget(1);
  switch (iterable.kind()) {
    case ValueKind::List:
      items = iterable.asList()->items;
      return items;
    case ValueKind::Dict:
      items.reserve(iterable.asDict()->size());
      iterable.asDict()->forEach([&](const Value& key, const Value&) { items.push_back(key); });
      return items;
    case ValueKind::String: {
      std::string_view text = iterable.asString()->view();
      items.reserve(text.size());
      for (char c : text) items.emplace_back(ValueKind::String, StringValue::ofByte(static_cast<unsigned char>(c)));
      return items;
    }
    case ValueKind::Range: {
      walkRange(*iterable.asRange(), [&](int64_t v) {
        items.push_back(Value::integer(v));
        return true;
      });
      return items;
    }
    default:
      report(kTypeMismatchError, message::cannotLoopOver(iterable), line);
  }
}

Value readIndex(const Value& container, const Value& index, int line, const ErrorReporter& report) {
  switch (container.kind()) {
    case ValueKind::List: {
      const auto& items = container.asList()->items;
      int64_t at = sequencePosition(asIndex(index, line, report), items.size());
      if (at < 0) report(kIndexError, message::kListIndexOutOfRange, line);
      return items[static_cast<size_t>(at)];
    }
    case ValueKind::Dict: {
      Value key = dictKey(index);
      if (Value* v = container.asDict()->find(key.asString())) return *v;
      report(kKeyError, message::keyNotFound(key.asString()->view()), line);
    }
    case ValueKind::String: {
      std::string_view text = container.asString()->view();
      int64_t at = sequencePosition(asIndex(index, line, report), text.size());
      if (at < 0) report(kIndexError, message::kStringIndexOutOfRange, line);
      return Value(ValueKind::String, StringValue::ofByte(static_cast<unsigned char>(text[static_cast<size_t>(at)])));
    }
    default:
      report(kTypeMismatchError, message::cannotIndex(container), line);
  }
}

void writeIndex(const Value& container, const Value& index, const Value& value, int line, const ErrorReporter& report) {
  switch (container.kind()) {
    case ValueKind::List: {
      auto& items = container.asList()->items;
      int64_t at = sequencePosition(asIndex(index, line, report), items.size());
      if (at < 0) report(kIndexError, message::kListIndexOutOfRange, line);
      holding(container.asList(), value);
      items[static_cast<size_t>(at)] = value;
      return;
    }
    case ValueKind::Dict:
      container.asDict()->set(dictKey(index), value);
      return;
    case ValueKind::String:
      report(kTypeMismatchError, message::kStringsAreImmutable, line);
    default:
      report(kTypeMismatchError, message::cannotAssignInto(container), line);
  }
}

}  // namespace qlr

// Binary operators: equality, identity, membership, joining, arithmetic and ordering.
#include "values/operators.h"

#include <string>
#include <vector>

#include "support/budget.h"
#include "support/fatal.h"
#include "values/arithmetic.h"
#include "values/messages.h"

namespace qlr {

namespace {

bool within(const Value& item, const Value& container, int line, const ErrorReporter& report) {
  switch (container.kind()) {
    case ValueKind::List:
      for (size_t i = 0; i < container.asList()->items.size(); ++i) {
        Value element = container.asList()->items[i];
        if (valuesEqual(element, item)) return true;
      }
      return false;
    case ValueKind::Dict: {
      Value key = dictKey(item);
      return container.asDict()->find(key.asString()) != nullptr;
    }
    case ValueKind::String:
      if (item.is(ValueKind::String))
        return container.asString()->view().find(item.asString()->view()) != std::string_view::npos;
      break;
    default:
      break;
  }
  report(kTypeMismatchError, message::cannotTestMembership(container), line);
}

[[noreturn]] void unsupported(OpCode op, const Value& l, const Value& r, int line, const ErrorReporter& report) {
  report(kTypeMismatchError, message::unsupportedOperands(op, l, r), line);
}

}  // namespace

Value binaryOperation(OpCode op, const Value& l, const Value& r, int line, const ErrorReporter& report) {
  switch (op) {
    case OpCode::Eq:
      return Value::boolean(valuesEqual(l, r));
    case OpCode::Ne:
      return Value::boolean(!valuesEqual(l, r));
    case OpCode::Same:
      return Value::boolean(l.kind() == r.kind() && identicalValues(l, r));
    case OpCode::Within:
      return Value::boolean(within(l, r, line, report));
    default:
      break;
  }
  if (op == OpCode::Add && (l.is(ValueKind::String) || r.is(ValueKind::String))) {
    std::string rendered;  // the side that is not a string, as text
    std::string_view a = concatText(l, rendered);
    std::string_view b = concatText(r, rendered);
    return Value(StringValue::concat(a, b));
  }
  if (op == OpCode::Add && l.is(ValueKind::List)) {
    if (!r.is(ValueKind::List)) unsupported(op, l, r, line, report);
    std::vector<Value> items;
    spendBudget(l.asList()->items.size() + r.asList()->items.size());
    items.reserve(l.asList()->items.size() + r.asList()->items.size());
    items.insert(items.end(), l.asList()->items.begin(), l.asList()->items.end());
    items.insert(items.end(), r.asList()->items.begin(), r.asList()->items.end());
    return makeList(std::move(items));
  }
  if (!l.isNumber()) {
    Value out;
    if (l.is(ValueKind::String) && r.is(ValueKind::String) && compare(op, l.asString()->view(), r.asString()->view(), out))
      return out;
    unsupported(op, l, r, line, report);
  }
  if (!r.isNumber()) unsupported(op, l, r, line, report);
  Value out;
  switch (numberOperation(op, l, r, out)) {
    case Arithmetic::Done:
      return out;
    case Arithmetic::ZeroDivisor:
      report(kDivisionError, message::divisionByZero(op), line);
    case Arithmetic::Unhandled:
      break;
  }
  throw QuilloraFatal(message::unhandledOperator(op));
}

}  // namespace qlr

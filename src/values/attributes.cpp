// Attributes of instances and blueprints: the errors of failed reads and the writing of fields.
#include "values/attributes.h"

#include "values/messages.h"

namespace qlr {

namespace {

[[noreturn]] void cannotSetAttribute(const Value& obj, std::string_view name, int line, const ErrorReporter& report) {
  report(kTypeMismatchError, message::cannotSetAttribute(obj, name), line);
}

}  // namespace

void noAttribute(const Value& obj, std::string_view name, int line, const ErrorReporter& report) {
  report(hasAttributes(obj) ? kAttributeError : kTypeMismatchError, message::noAttribute(obj, name), line);
}

void setField(const Value& obj, Symbol name, const Value& value, int line, const ErrorReporter& report) {
  if (!obj.is(ValueKind::Instance)) cannotSetAttribute(obj, symbolName(name), line, report);
  obj.asInstance()->fields.set(name, value);
}

void setFieldByName(const Value& obj, std::string_view name, const Value& value, int line,
                    const ErrorReporter& report) {
  if (!obj.is(ValueKind::Instance)) cannotSetAttribute(obj, name, line, report);  // before the name is interned
  obj.asInstance()->fields.set(intern(name), value);
}

}  // namespace qlr

// Tests of runtime errors as values: their shape, the blueprint cache, catch matching and the reporters.
#include <gtest/gtest.h>

#include "../values/value_builders.h"

namespace qlr {
namespace {

using namespace qlr::testing;

Value thrownBy(Interpreter& interp, const std::string& kind, const std::string& message, int line) {
  try {
    interp.throwError(kind, message, line);
  } catch (const QuilloraThrow& thrown) {
    return thrown.value;
  }
  return Value();
}

CatchClause clause(const char* typeName) {
  CatchClause c;
  c.hasType = typeName != nullptr;
  if (typeName) c.typeName = typeName;
  return c;
}

TEST(ThrowError, BuildsAnInstanceWithExactlyMsgAndLine) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value error = thrownBy(interp, "KeyError", "key 'a' not found", 12);
  ASSERT_TRUE(error.is(ValueKind::Instance));
  const InstanceValue* instance = error.asInstance();
  EXPECT_EQ(instance->cls->name, "KeyError");
  EXPECT_FALSE(instance->cls->base);
  EXPECT_TRUE(instance->cls->methods.empty());
  EXPECT_TRUE(instance->cls->attrs.empty());
  ASSERT_EQ(instance->fields.size(), 2u);
  const Value* msg = instance->fields.find(intern("msg"));
  const Value* line = instance->fields.find(intern("line"));
  ASSERT_TRUE(msg && line);
  EXPECT_EQ(typed(*msg), R"(string "key 'a' not found")");
  EXPECT_EQ(typed(*line), "int 12");
  EXPECT_EQ(interp.errorTypes.at("KeyError").get(), instance->cls.get());
}

TEST(ThrowError, OneBlueprintPerKindPerInterpreter) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value first = thrownBy(interp, "IndexError", "a", 1);
  Value second = thrownBy(interp, "IndexError", "b", 2);
  Value other = thrownBy(interp, "KeyError", "c", 3);
  Value firstClass(first.asInstance()->cls), secondClass(second.asInstance()->cls);
  EXPECT_EQ(typed(interp.binaryOpDispatch(OpCode::Same, firstClass, secondClass, 1)), "bool yes");
  EXPECT_EQ(interp.errType("IndexError").get(), first.asInstance()->cls.get());
  EXPECT_NE(other.asInstance()->cls.get(), first.asInstance()->cls.get());
  EXPECT_FALSE(identicalValues(first, second)) << "each error is a new instance";

  const ClassValue* mine = interp.errType("IndexError").get();
  Interpreter another;
  RuntimeActivation activeAnother = another.activate();
  EXPECT_NE(another.errType("IndexError").get(), mine);
}

TEST(ThrowError, ReporterForwardsKindMessageAndLine) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  int64_t line = -1;
  EXPECT_EQ(raised([&] { interp.reporter()("ValueError", "bad text", 3); }, &line), "ValueError: bad text");
  EXPECT_EQ(line, 3);
}

TEST(CatchMatches, ByBlueprintChainOrKindName) {
  Interpreter interp;
  RuntimeActivation active = interp.activate();
  Value system = thrownBy(interp, "IndexError", "list index out of range", 1);
  auto base = makeRef<ClassValue>("Base", nullptr);
  auto mine = makeRef<ClassValue>("MyErr", base);
  auto lookalike = makeRef<ClassValue>("IndexError", nullptr);
  auto userIndex = makeRef<ClassValue>("Narrow", lookalike);
  Value myErr(makeRef<InstanceValue>(mine)), userError(makeRef<InstanceValue>(userIndex));
  struct Row {
    const char* clause;
    Value thrown;
    bool matches;
  } rows[] = {
      {nullptr, system, true},         {nullptr, I(5), true},
      {nullptr, Value(), true},        {"IndexError", system, true},
      {"indexerror", system, false},   {"Error", system, false},
      {"instance", system, false},     {"KeyError", system, false},
      {"MyErr", myErr, true},          {"Base", myErr, true},
      {"Error", myErr, false},         {"IndexError", userError, true},
      {"int", I(5), true},             {"Error", I(5), false},
      {"float", I(5), false},          {"string", S("boom"), true},
      {"class", Value(base), true},    {"Base", Value(base), false},
      {"function", Native(), true},    {"null", Value(), true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(catchMatches(clause(row.clause), row.thrown), row.matches)
        << (row.clause ? row.clause : "(untyped)") << " vs " << typed(row.thrown);
  }
}

// Equality has no interpreter at hand: it raises through the reporter of
// the runtime that is active, or, where no interpreter owns that runtime,
// as a fatal error.
TEST(RecursionReporter, FollowsTheActiveInterpreter) {
  Value list = L({});
  list.asList()->items.push_back(list);
  auto ownerOfRaised = [&]() -> const ClassValue* {
    try {
      valuesEqual(list, list);
    } catch (const QuilloraThrow& thrown) {
      return thrown.value.asInstance()->cls.get();
    }
    return nullptr;
  };
  {
    Interpreter outer;
    Interpreter inner;
    const ClassValue* outerError;
    const ClassValue* innerError;
    {
      RuntimeActivation active = outer.activate();
      outerError = outer.errType("RecursionError").get();
      {
        RuntimeActivation activeInner = inner.activate();
        innerError = inner.errType("RecursionError").get();
        EXPECT_EQ(ownerOfRaised(), innerError);
      }
      EXPECT_EQ(ownerOfRaised(), outerError) << "the outer runtime is active again";
    }
    EXPECT_NE(outerError, innerError);
  }
  try {
    valuesEqual(list, list);
    ADD_FAILURE() << "no error";
  } catch (const QuilloraFatal& fatal) {
    EXPECT_STREQ(fatal.what(), "RecursionError: maximum recursion depth exceeded");
  }
  list.asList()->items.clear();
}

}  // namespace
}  // namespace qlr

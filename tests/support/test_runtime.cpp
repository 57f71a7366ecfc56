// The runtime of the tests that make no interpreter of their own.
//
// Values, scopes and symbols are made in the active runtime. A test of the
// lower layers makes them without an interpreter, so the main thread of
// the test binary has this runtime active throughout; a test that makes an
// interpreter activates that one's over it while it needs it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "interp/runtime.h"

namespace qlr::testing {
namespace {

class TestRuntime : public ::testing::Environment {
 public:
  void SetUp() override {
    runtime_ = std::make_unique<Runtime>();
    active_.emplace(*runtime_);
  }
  void TearDown() override {
    active_.reset();
    runtime_.reset();
  }

 private:
  std::unique_ptr<Runtime> runtime_;
  std::optional<RuntimeActivation> active_;
};

[[maybe_unused]] ::testing::Environment* const kTestRuntime = ::testing::AddGlobalTestEnvironment(new TestRuntime);

}  // namespace
}  // namespace qlr::testing

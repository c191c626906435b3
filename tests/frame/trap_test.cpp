#include "frame/trap.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace zebevi::frame {
namespace {

const std::string kClientes(kClientesText);

// Runs a body that fails at label 2470 under a trap with a diagnostic prefix.
Value FailAt2470(const Value& user, Value message, bool* result_set = nullptr) {
  Trap trap(kClientesText, "mOp ( ", user, message);
  trap.Run(
      [](Step& at) {
        at(2460);
        at(2470);
        throw Error::Overflow();
      },
      [&] {
        if (result_set) *result_set = true;
      });
  return message;
}

// Anyone but the diagnostic user (1, or a text that reads as 1) gets the
// fixed text; a user that reads as no number fails the trap itself.
TEST(Trap, ReplacesTheMessageAndAppendsTheDetailForTheDiagnosticUserOnly) {
  bool result_set = false;
  EXPECT_EQ(FailAt2470(Value::Int32(7), "earlier text", &result_set), Value(kClientes));
  EXPECT_TRUE(result_set);
  EXPECT_EQ(FailAt2470(Value::Null(), "x"), Value(kClientes));
  const Value detail(kClientes + "mOp ( Overflow : 6)   No Nº 2470");
  EXPECT_EQ(FailAt2470(Value::Int32(1), "x"), detail);
  EXPECT_EQ(FailAt2470(Value("1"), "x"), detail);
  EXPECT_AUTOMATION_ERROR(FailAt2470(Value("abc"), "x"), 13);
}

TEST(Trap, QuotesTheCommandAsItStoodAndReportsLabelZeroBeforeAnyStep) {
  const Value diagnostic = Value::Int32(1);
  Value message;
  std::string command;
  Trap trap(kClientesText, "mX ( ", diagnostic, message);
  trap.QuoteCommand(command);
  trap.Run([](Step&) { throw Error::Database(-2147217900, "no such table"); }, [] {});
  EXPECT_EQ(message, Value(kClientes + "mX ( no such table : -2147217900)   No Nº 0Strsq: "));

  Value second;
  Trap quoting(kClientesText, "mX ( ", diagnostic, second);
  quoting.QuoteCommand(command);
  quoting.Run(
      [&](Step& at) {
        at(2850);
        command = "EXEC P 1";
        throw Error::TypeMismatch();
      },
      [] {});
  EXPECT_EQ(second, Value(kClientes + "mX ( Type mismatch : 13)   No Nº 2850Strsq: EXEC P 1"));
}

TEST(Trap, WithoutPrefixNeverAddsDetailAndLeavesSuccessAlone) {
  Value message("kept");
  Trap quiet(kTrackingText, message);
  int failed = 0;
  quiet.Run([](Step&) {}, [&] { ++failed; });
  EXPECT_EQ(std::tuple(failed, message), std::tuple(0, Value("kept")));
  quiet.Run([](Step&) { throw Error::InvalidUseOfNull(); }, [&] { ++failed; });
  EXPECT_EQ(std::tuple(failed, message), std::tuple(1, Value(std::string(kTrackingText))));
}

TEST(Trap, OtherFailuresBecomeAutomationErrors) {
  const Value diagnostic = Value::Int32(1);
  Value message;
  Trap(kClientesText, "p ( ", diagnostic, message)
      .Run([](Step&) { throw std::out_of_range("index"); }, [] {});
  EXPECT_EQ(message, Value(kClientes + "p ( Internal error: index : 51)   No Nº 0"));
}

}  // namespace
}  // namespace zebevi::frame

#include "db/procedure_call.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/test_support.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

ProcedureCall Call(std::string_view command) {
  std::optional<ProcedureCall> call = ParseProcedureCall(command);
  EXPECT_TRUE(call.has_value()) << command;
  return call.value_or(ProcedureCall{});
}

// The failure's description, which must name the problem.
std::string Failure(std::string_view command) {
  try {
    ParseProcedureCall(command);
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), kDbCommandFailed);
    return e.description();
  }
  ADD_FAILURE() << "no failure for " << command;
  return "";
}

TEST(ProcedureCallTest, OnlyTheFirstWordExecMakesACall) {
  EXPECT_FALSE(ParseProcedureCall("SELECT 1").has_value());
  EXPECT_FALSE(ParseProcedureCall("EXECUTE p 1").has_value());
  EXPECT_FALSE(ParseProcedureCall("execp 1").has_value());
  EXPECT_FALSE(ParseProcedureCall("SELECT 'EXEC p'").has_value());
  EXPECT_FALSE(ParseProcedureCall("").has_value());
  for (std::string_view command : {"EXEC p", "Exec p", "exec p", "eXeC p", "  \tEXEC\np  "}) {
    ProcedureCall call = Call(command);
    EXPECT_EQ(call.name, "p") << command;
    EXPECT_TRUE(call.args.empty()) << command;
  }
}

TEST(ProcedureCallTest, ReadsNumbersTextsAndNulls) {
  ProcedureCall call =
      Call("Exec SP_ZEB_CON_Dados_Doc_Viagem11 123, 'S', NULL, -4.5, null, '', 'O''Neil' ");
  EXPECT_EQ(call.name, "SP_ZEB_CON_Dados_Doc_Viagem11");
  ASSERT_EQ(call.args.size(), 7u);
  EXPECT_EQ(call.args[0], Literal(std::int64_t{123}));
  EXPECT_EQ(call.args[1], Literal(std::string("S")));
  EXPECT_EQ(call.args[2], Literal(NullLiteral{}));
  EXPECT_EQ(call.args[3], Literal(-4.5));
  EXPECT_EQ(call.args[4], Literal(NullLiteral{}));
  EXPECT_EQ(call.args[5], Literal(std::string()));
  EXPECT_EQ(call.args[6], Literal(std::string("O'Neil")));
}

TEST(ProcedureCallTest, BlanksAroundArgumentsAreAllowed) {
  ProcedureCall call = Call("EXEC SP_ZEB_CON_TROCA_DOCTO_TRANSP   7 ,\t'a' ,NULL   ");
  ASSERT_EQ(call.args.size(), 3u);
  EXPECT_EQ(call.args[0], Literal(std::int64_t{7}));
  EXPECT_EQ(call.args[2], Literal(NullLiteral{}));
  ProcedureCall tight = Call("EXEC p 1,2");
  EXPECT_EQ(tight.args.size(), 2u);
}

TEST(ProcedureCallTest, NumberForms) {
  ProcedureCall call = Call("EXEC p +5, -0, 1.5, .25, 2., 1e3, -2.5E-2, 2147483648");
  ASSERT_EQ(call.args.size(), 8u);
  EXPECT_EQ(call.args[0], Literal(std::int64_t{5}));
  EXPECT_EQ(call.args[1], Literal(std::int64_t{0}));
  EXPECT_EQ(call.args[2], Literal(1.5));
  EXPECT_EQ(call.args[3], Literal(0.25));
  EXPECT_EQ(call.args[4], Literal(2.0));
  EXPECT_EQ(call.args[5], Literal(1000.0));
  EXPECT_EQ(call.args[6], Literal(-0.025));
  EXPECT_EQ(call.args[7], Literal(std::int64_t{2147483648}));
}

TEST(ProcedureCallTest, IntegersBeyond64BitsBecomeDoubles) {
  ProcedureCall call =
      Call("EXEC p 9223372036854775807, 9223372036854775808, -9223372036854775809");
  ASSERT_EQ(call.args.size(), 3u);
  EXPECT_EQ(call.args[0], Literal(std::int64_t{9223372036854775807}));
  EXPECT_EQ(call.args[1], Literal(9223372036854775808.0));
  EXPECT_EQ(call.args[2], Literal(-9223372036854775809.0));
}

TEST(ProcedureCallTest, TextKeepsEverythingBetweenItsQuotes) {
  ProcedureCall call = Call("EXEC p 'x''; DROP TABLE t; --', ' a , b ', 'NULL', '1'");
  ASSERT_EQ(call.args.size(), 4u);
  EXPECT_EQ(call.args[0], Literal(std::string("x'; DROP TABLE t; --")));
  EXPECT_EQ(call.args[1], Literal(std::string(" a , b ")));
  EXPECT_EQ(call.args[2], Literal(std::string("NULL")));
  EXPECT_EQ(call.args[3], Literal(std::string("1")));
}

TEST(ProcedureCallTest, NameMustBeAPlainIdentifier) {
  EXPECT_NE(Failure("EXEC").find("no procedure name"), std::string::npos);
  EXPECT_NE(Failure("EXEC   ").find("no procedure name"), std::string::npos);
  EXPECT_NE(Failure("EXEC dbo.p 1").find("'dbo.p' is not a plain procedure name"),
            std::string::npos);
  EXPECT_NE(Failure("EXEC 1p").find("'1p'"), std::string::npos);
  EXPECT_NE(Failure("EXEC 'p'").find("not a plain procedure name"), std::string::npos);
  EXPECT_NE(Failure("EXEC p; DROP TABLE t").find("'p;'"), std::string::npos);
  EXPECT_EQ(Call("EXEC _p_2").name, "_p_2");
}

TEST(ProcedureCallTest, AnythingButALiteralIsRefused) {
  EXPECT_NE(Failure("EXEC p 1; DROP TABLE t").find("unexpected ';' after argument 1"),
            std::string::npos);
  EXPECT_NE(Failure("EXEC p 1 -- comment").find("unexpected '--' after argument 1"),
            std::string::npos);
  EXPECT_NE(Failure("EXEC p name").find("argument 1 is not a number, a quoted text or NULL"),
            std::string::npos);
  EXPECT_NE(Failure("EXEC p 1, (SELECT 2)").find("argument 2 is not"), std::string::npos);
  EXPECT_NE(Failure("EXEC p \"text\"").find("argument 1 is not"), std::string::npos);
  EXPECT_NE(Failure("EXEC p NULLS").find("argument 1 is not"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 'a' 'b'").find("after argument 1"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 1 2").find("after argument 1"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 12abc").find("after argument 1"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 1.2.3").find("after argument 1"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 1;").find("after argument 1"), std::string::npos);
}

TEST(ProcedureCallTest, MalformedLiteralsAndListsAreNamed) {
  EXPECT_NE(Failure("EXEC p 'abc").find("argument 1 has an unterminated quote"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 1, 'it''s").find("argument 2 has an unterminated quote"),
            std::string::npos);
  EXPECT_NE(Failure("EXEC p 1,").find("argument 2 is missing"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 1,,2").find("argument 2 is missing"), std::string::npos);
  EXPECT_NE(Failure("EXEC p , 1").find("argument 1 is missing"), std::string::npos);
  EXPECT_NE(Failure("EXEC p -").find("argument 1 is not"), std::string::npos);
  EXPECT_NE(Failure("EXEC p - 5").find("argument 1 is not"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 1e").find("argument 1 has an incomplete exponent"), std::string::npos);
  EXPECT_NE(Failure("EXEC p 1e999").find("argument 1 is out of range"), std::string::npos);
}

TEST(ProcedureCallTest, FailuresNameTheProcedure) {
  EXPECT_EQ(Failure("EXEC SP_X 1, x").rfind("EXEC SP_X: ", 0), 0u);
}

}  // namespace
}  // namespace zebevi::db

#include "db/procedure_call.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "zebevi/error.h"

namespace zebevi::db {
namespace {

Literal Int(std::int64_t n) { return Literal(n); }
Literal Text(const char* text) { return Literal(std::string(text)); }
const Literal kNull = Literal(NullLiteral{});

TEST(ProcedureCallTest, OnlyTheFirstWordExecMakesACall) {
  for (const char* command : {"SELECT 1", "EXECUTE p 1", "execp 1", "SELECT 'EXEC p'", ""}) {
    EXPECT_FALSE(ParseProcedureCall(command).has_value()) << command;
  }
}

TEST(ProcedureCallTest, ReadsTheNameAndEveryKindOfLiteral) {
  const struct {
    const char* command;
    const char* name;
    std::vector<Literal> args;
  } calls[] = {
      {"  \tEXEC\np  ", "p", {}},
      {"eXeC _p_2", "_p_2", {}},
      {"Exec SP_ZEB_CON_Dados_Doc_Viagem11 123, 'S', NULL, -4.5, null, '', 'O''Neil' ",
       "SP_ZEB_CON_Dados_Doc_Viagem11",
       {Int(123), Text("S"), kNull, Literal(-4.5), kNull, Text(""), Text("O'Neil")}},
      {"EXEC p   7 ,\t'a' ,NULL   ", "p", {Int(7), Text("a"), kNull}},
      {"EXEC p 1,2", "p", {Int(1), Int(2)}},
      {"EXEC p +5, -0, 1.5, .25, 2., 1e3, -2.5E-2, 2147483648",
       "p",
       {Int(5), Int(0), Literal(1.5), Literal(0.25), Literal(2.0), Literal(1000.0), Literal(-0.025),
        Int(2147483648)}},
      // Integers beyond 64 bits become doubles.
      {"EXEC p 9223372036854775807, 9223372036854775808, -9223372036854775809",
       "p",
       {Int(9223372036854775807), Literal(9223372036854775808.0),
        Literal(-9223372036854775809.0)}},
      {"EXEC p 'x''; DROP TABLE t; --', ' a , b ', 'NULL', '1'",
       "p",
       {Text("x'; DROP TABLE t; --"), Text(" a , b "), Text("NULL"), Text("1")}},
  };
  for (const auto& c : calls) {
    const std::optional<ProcedureCall> call = ParseProcedureCall(c.command);
    ASSERT_TRUE(call.has_value()) << c.command;
    EXPECT_EQ(call->name, c.name) << c.command;
    EXPECT_EQ(call->args, c.args) << c.command;
  }
}

TEST(ProcedureCallTest, AnythingButANameAndLiteralsIsRefusedByItsPlace) {
  const struct {
    const char* command;
    const char* says;
  } failures[] = {
      {"EXEC", "no procedure name"},
      {"EXEC dbo.p 1", "'dbo.p' is not a plain procedure name"},
      {"EXEC 1p", "'1p'"},
      {"EXEC p; DROP TABLE t", "'p;'"},
      {"EXEC p 1; DROP TABLE t", "unexpected ';' after argument 1"},
      {"EXEC p 1 -- comment", "unexpected '--' after argument 1"},
      {"EXEC p name", "argument 1 is not a number, a quoted text or NULL"},
      {"EXEC p 1, (SELECT 2)", "argument 2 is not"},
      {"EXEC p NULLS", "argument 1 is not"},
      {"EXEC p - 5", "argument 1 is not"},
      {"EXEC p 1 2", "after argument 1"},
      {"EXEC p 12abc", "after argument 1"},
      {"EXEC p 1.2.3", "after argument 1"},
      {"EXEC p 1, 'it''s", "argument 2 has an unterminated quote"},
      {"EXEC p 1,", "argument 2 is missing"},
      {"EXEC p , 1", "argument 1 is missing"},
      {"EXEC p 1e", "argument 1 has an incomplete exponent"},
      {"EXEC p 1e999", "argument 1 is out of range"},
      {"EXEC SP_X 1, x", "EXEC SP_X: "},
  };
  for (const auto& f : failures) {
    try {
      ParseProcedureCall(f.command);
      ADD_FAILURE() << "no failure for " << f.command;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), kDbCommandFailed) << f.command;
      EXPECT_NE(e.description().find(f.says), std::string::npos) << f.command << ": "
                                                                  << e.description();
    }
  }
}

}  // namespace
}  // namespace zebevi::db

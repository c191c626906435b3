// The legacy interface of the installed component: one operation, its
// parameters by reference, as a server-side program calls it.
#include <zebevi/evi.h>

#include <iostream>

int main() {
  const auto evi = zebevi::CreateEVI();
  zebevi::Value seconds = zebevi::Value::Int32(90061), text, message;
  if (!evi->mConverte_Decimal_Hora(seconds, text, message)) return 1;
  std::cout << text.string() << '\n';  // 25:01
  return text.string() == "25:01" ? 0 : 1;
}

// Converts 90061 seconds through the installed component.
#include <zebevi/evi.h>

#include <iostream>

int main() {
  auto evi = zebevi::CreateEVI();
  zebevi::Value seconds = zebevi::Value::Int32(90061), text, message;
  if (!evi->mConverte_Decimal_Hora(seconds, text, message)) return 1;
  std::cout << text.string() << '\n';
  return text.string() == "25:01" ? 0 : 1;
}

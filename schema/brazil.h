// Brazilian data for the generator: cities, tax numbers with their check
// digits, vehicle plates and names of people and companies.
#ifndef ZEBEVI_SCHEMA_BRAZIL_H_
#define ZEBEVI_SCHEMA_BRAZIL_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "schema/random.h"

namespace zebevi::schema {

struct City {
  std::string_view name;
  std::string_view uf;
  int latitude;   // hundredths of a degree
  int longitude;  // hundredths of a degree
};

std::span<const City> Cities();

// Road distance between two cities in tenths of a kilometre: the straight
// line lengthened by the usual detour of roads.
std::int64_t RoadDistanceTenths(const City& from, const City& to);

// CGC (14 digits) of branch `branch` of the company whose root is the first
// eight digits, `root`, check digits included. REQUIRES: root < 10^8.
std::string Cgc(std::int64_t root, int branch);
// CPF (11 digits) whose first nine digits are `base`, check digits included.
// REQUIRES: base < 10^9.
std::string Cpf(std::int64_t base);

// Distinct tax numbers, one per call: the n-th call gives the same number
// for the same seed.
class TaxNumbers {
 public:
  explicit TaxNumbers(std::uint64_t seed) : offset_(static_cast<std::int64_t>(seed % 1000003)) {}
  std::string NextCgc();
  std::string NextCpf();

 private:
  std::int64_t offset_;
  std::int64_t next_ = 0;
};

// The plate of the `index`-th vehicle: distinct for distinct indexes, in the
// old form AAA9999 or the Mercosul form AAA9A99.
std::string Plate(std::int64_t index, bool mercosul);

std::string PersonName(Random& random);
std::string CompanyName(Random& random);

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_BRAZIL_H_

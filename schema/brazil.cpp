#include "schema/brazil.h"

#include <cmath>

namespace zebevi::schema {
namespace {

constexpr City kCities[] = {
    {"São Paulo", "SP", -2355, -4663},
    {"Campinas", "SP", -2291, -4706},
    {"Santos", "SP", -2396, -4633},
    {"Ribeirão Preto", "SP", -2118, -4781},
    {"Sorocaba", "SP", -2350, -4746},
    {"São José dos Campos", "SP", -2318, -4589},
    {"Bauru", "SP", -2231, -4906},
    {"Curitiba", "PR", -2543, -4927},
    {"Londrina", "PR", -2331, -5116},
    {"Maringá", "PR", -2342, -5194},
    {"Cascavel", "PR", -2496, -5346},
    {"Ponta Grossa", "PR", -2509, -5016},
    {"Paranaguá", "PR", -2552, -4851},
    {"Belo Horizonte", "MG", -1992, -4394},
    {"Uberlândia", "MG", -1892, -4828},
    {"Contagem", "MG", -1993, -4405},
    {"Juiz de Fora", "MG", -2176, -4335},
    {"Uberaba", "MG", -1975, -4793},
    {"Rio de Janeiro", "RJ", -2291, -4317},
    {"Duque de Caxias", "RJ", -2279, -4331},
    {"Porto Alegre", "RS", -3003, -5123},
    {"Caxias do Sul", "RS", -2917, -5118},
    {"Rio Grande", "RS", -3203, -5210},
    {"Florianópolis", "SC", -2759, -4855},
    {"Joinville", "SC", -2630, -4885},
    {"Itajaí", "SC", -2691, -4866},
    {"Chapecó", "SC", -2710, -5262},
    {"Goiânia", "GO", -1669, -4926},
    {"Anápolis", "GO", -1633, -4895},
    {"Rio Verde", "GO", -1780, -5093},
    {"Cuiabá", "MT", -1560, -5610},
    {"Rondonópolis", "MT", -1647, -5464},
    {"Sinop", "MT", -1186, -5551},
    {"Campo Grande", "MS", -2047, -5462},
    {"Dourados", "MS", -2222, -5481},
    {"Salvador", "BA", -1297, -3850},
    {"Feira de Santana", "BA", -1227, -3897},
    {"Luís Eduardo Magalhães", "BA", -1210, -4580},
    {"Recife", "PE", -805, -3488},
    {"Petrolina", "PE", -939, -4050},
    {"Fortaleza", "CE", -373, -3852},
    {"Vitória", "ES", -2032, -4034},
    {"Brasília", "DF", -1579, -4788},
    {"Palmas", "TO", -1018, -4833},
};

constexpr std::string_view kFirstNames[] = {
    "João",    "Maria",   "José",   "Ana",       "Carlos",   "Francisca", "Paulo",
    "Antônio", "Luiz",    "Marcos", "Rafael",    "Juliana",  "Fernanda",  "Pedro",
    "Lucas",   "Gabriel", "Mateus", "Sebastião", "Raimundo", "Adriana",   "Márcia",
    "Cláudio", "Rogério", "Valdir", "Edson",     "Simone",   "Patrícia",  "Joaquim"};
constexpr std::string_view kSurnames[] = {
    "Silva",   "Santos",     "Oliveira", "Souza",     "Rodrigues", "Ferreira", "Alves",
    "Pereira", "Lima",       "Gomes",    "Costa",     "Ribeiro",   "Martins",  "Carvalho",
    "Almeida", "Lopes",      "Soares",   "Fernandes", "Vieira",    "Barbosa",  "Rocha",
    "Dias",    "Nascimento", "Moreira",  "Araújo",    "Cardoso",   "Teixeira", "Mendes"};
constexpr std::string_view kParticles[] = {"", "", "", "da ", "dos ", "de "};

constexpr std::string_view kCompanyKinds[] = {"Comercial",
                                              "Distribuidora",
                                              "Indústria de Alimentos",
                                              "Cooperativa Agroindustrial",
                                              "Atacadista",
                                              "Metalúrgica",
                                              "Frigorífico",
                                              "Usina",
                                              "Cerealista",
                                              "Moinho",
                                              "Laticínios",
                                              "Agropecuária",
                                              "Madeireira",
                                              "Têxtil",
                                              "Química",
                                              "Fertilizantes",
                                              "Embalagens",
                                              "Cerâmica",
                                              "Papel e Celulose",
                                              "Bebidas"};
constexpr std::string_view kCompanyCores[] = {
    "Santa Luzia", "Vale Verde",   "Bom Jesus",   "São Jorge",   "Horizonte",  "Planalto",
    "Três Rios",   "Serra Azul",   "Aliança",     "Nova Era",    "Boa Vista",  "Cerrado",
    "Sul Minas",   "Rio Claro",    "Ipê Amarelo", "Araucária",   "Paraíso",    "Estrela do Sul",
    "Primavera",   "Santa Helena", "Guaraciaba",  "Itaúna",      "Jequitibá",  "Bandeirantes",
    "Pioneira",    "Sete Lagoas",  "Campo Belo",  "Água Branca", "Monte Alto", "Terra Roxa"};
constexpr std::string_view kCompanySuffixes[] = {"Ltda",      "Ltda",   "Ltda",      "S.A.",
                                                 "Ltda - ME", "Eireli", "Ltda - EPP"};

// Check digit of the weighted digit sum, as both tax numbers define it.
char CheckDigit(const std::string& digits, int first_weight, int wrap) {
  int sum = 0;
  int weight = first_weight;
  for (char c : digits) {
    sum += (c - '0') * weight;
    weight = weight == 2 ? wrap : weight - 1;
  }
  const int rest = sum % 11;
  return static_cast<char>('0' + (rest < 2 ? 0 : 11 - rest));
}

std::string Digits(std::int64_t value, int width) {
  std::string text(static_cast<std::size_t>(width), '0');
  for (int i = width - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return text;
}

bool AllSame(const std::string& digits) {
  return digits.find_first_not_of(digits.front()) == std::string::npos;
}

}  // namespace

std::span<const City> Cities() { return kCities; }

std::int64_t RoadDistanceTenths(const City& from, const City& to) {
  // At Brazil's latitudes a degree of longitude is about 0.92 of one of
  // latitude; roads run about a quarter longer than the straight line.
  const double dlat = (from.latitude - to.latitude) / 100.0;
  const double dlon = 0.92 * (from.longitude - to.longitude) / 100.0;
  return static_cast<std::int64_t>(std::sqrt(dlat * dlat + dlon * dlon) * 111.2 * 1.25 * 10.0);
}

std::string Cgc(std::int64_t root, int branch) {
  std::string digits = Digits(root, 8) + Digits(branch, 4);
  digits += CheckDigit(digits, 5, 9);
  digits += CheckDigit(digits, 6, 9);
  return digits;
}

std::string Cpf(std::int64_t base) {
  std::string digits = Digits(base, 9);
  digits += CheckDigit(digits, 10, 10);
  digits += CheckDigit(digits, 11, 11);
  return digits;
}

// The multipliers are prime to the moduli, so n -> n * m + c never repeats
// a value while n stays below the modulus.
std::string TaxNumbers::NextCgc() {
  const std::int64_t n = next_++;
  return Cgc((n * 27182813 + offset_ * 97 + 31415926) % 100000000, 1);
}

std::string TaxNumbers::NextCpf() {
  for (;;) {
    const std::int64_t n = next_++;
    const std::int64_t base = (n * 123456791 + offset_ + 271828182) % 1000000000;
    if (!AllSame(Digits(base, 9))) return Cpf(base);
  }
}

// 48271 is prime to 26^3 * 10^4, so distinct indexes give distinct plates;
// the Mercosul form only turns the second digit into a letter (0 is A).
std::string Plate(std::int64_t index, bool mercosul) {
  const std::int64_t k = (index * 48271 + 7654321) % 175760000;
  std::int64_t letters = k / 10000;
  std::string plate = "AAA" + Digits(k % 10000, 4);
  for (int i = 2; i >= 0; --i) {
    plate[static_cast<std::size_t>(i)] = static_cast<char>('A' + letters % 26);
    letters /= 26;
  }
  if (mercosul) plate[4] = static_cast<char>('A' + (plate[4] - '0'));
  return plate;
}

std::string PersonName(Random& random) {
  std::string name(random.Pick<std::string_view>(kFirstNames));
  name += ' ';
  name += random.Pick<std::string_view>(kParticles);
  name += random.Pick<std::string_view>(kSurnames);
  name += ' ';
  name += random.Pick<std::string_view>(kSurnames);
  return name;
}

std::string CompanyName(Random& random) {
  std::string name(random.Pick<std::string_view>(kCompanyKinds));
  name += ' ';
  name += random.Pick<std::string_view>(kCompanyCores);
  name += ' ';
  name += random.Pick<std::string_view>(kCompanySuffixes);
  return name;
}

}  // namespace zebevi::schema

#include "schema/reference_data.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <span>
#include <string_view>

#include "schema/brazil.h"
#include "schema/random.h"
#include "schema/tables.h"
#include "schema/trip.h"

namespace zebevi::schema {
namespace {

// Random streams of the registers (the documents use others).
constexpr std::uint64_t kRegisterStream = 1;

struct Carrier {
  std::string_view razao_social;
  std::string_view nome_fantasia;
  int share_percent;
  std::array<std::string_view, 5> point_cities;  // the first is the head office
};

constexpr Carrier kCarriers[] = {
    {"Transportes Rodovale Ltda",
     "Rodovale",
     50,
     {"São Paulo", "Campinas", "Curitiba", "Paranaguá", "Belo Horizonte"}},
    {"TransSerra Logística S.A.",
     "TransSerra",
     30,
     {"Caxias do Sul", "Porto Alegre", "Joinville", "Chapecó", "Itajaí"}},
    {"Expresso Cerrado Cargas Ltda",
     "Expresso Cerrado",
     20,
     {"Goiânia", "Rondonópolis", "Uberlândia", "Rio Verde", "Brasília"}},
};

struct StaffType {
  std::int64_t id;
  std::string_view descricao;
  std::string_view escopo;
};

constexpr std::int64_t kDriverType = 1;
constexpr std::int64_t kManagerType = 4;
constexpr StaffType kStaffTypes[] = {
    {kDriverType, "Motorista", "M"},       {2, "Operador de tráfego", "E"},
    {3, "Supervisor de filial", "P"},      {kManagerType, "Gerente de operações", "E"},
    {5, "Assistente de atendimento", "P"},
};
// The staff of every operating point, by type.
constexpr std::int64_t kPointStaff[] = {2, 3, 5};

constexpr std::string_view kProducts[] = {
    "Soja em grãos",    "Milho a granel",    "Farelo de soja",   "Açúcar cristal",
    "Café em sacas",    "Algodão em pluma",  "Fertilizante NPK", "Cimento ensacado",
    "Óleo diesel S10",  "Etanol hidratado",  "Bobinas de aço",   "Celulose",
    "Óleo vegetal",     "Produtos químicos", "Bebidas",          "Alimentos refrigerados",
    "Eletrodomésticos", "Autopeças",         "Madeira serrada",  "Papel e embalagens"};

constexpr std::string_view kTractorModels[] = {
    "Scania R 450", "Volvo FH 540",    "Mercedes-Benz Actros 2651",
    "DAF XF 530",   "Iveco S-Way 480", "Volkswagen Meteor 28.460"};
constexpr std::string_view kTrailerTypes[] = {
    "Graneleira",        "Baú",      "Sider",           "Tanque",
    "Bitrem graneleiro", "Rodotrem", "Porta-contêiner", "Frigorífica"};

struct MacroType {
  Macro id;
  std::string_view descricao;
  std::string_view visivel_cliente;
};

// Customers see their freight move; rests, refuelling, detours, breakdowns
// and the truck's way back are the carrier's business.
constexpr MacroType kMacroTypes[] = {
    {Macro::kInicioViagem, "Início de viagem", "S"},
    {Macro::kChegadaRemetente, "Chegada no remetente", "S"},
    {Macro::kInicioCarga, "Início de carga", "S"},
    {Macro::kFimCarga, "Fim de carga", "S"},
    {Macro::kEmTransito, "Em trânsito", "S"},
    {Macro::kParadaDescanso, "Parada para descanso", "N"},
    {Macro::kParadaRefeicao, "Parada para refeição", "N"},
    {Macro::kAbastecimento, "Abastecimento", "N"},
    {Macro::kPernoite, "Pernoite", "N"},
    {Macro::kParadaNaoProgramada, "Parada não programada", "N"},
    {Macro::kDesvioRota, "Desvio de rota", "N"},
    {Macro::kManutencao, "Manutenção mecânica", "N"},
    {Macro::kChegadaCliente, "Chegada no cliente", "S"},
    {Macro::kInicioDescarga, "Início de descarga", "S"},
    {Macro::kFimDescarga, "Fim de descarga", "S"},
    {Macro::kFimViagem, "Fim de viagem", "N"},
};

struct Feature {
  std::int64_t code;
  std::string_view descricao;
};

constexpr Feature kFeatures[] = {
    {101, "Consulta de faturas"},
    {102, "Segunda via do documento de transporte"},
    {103, "Agendamento de coleta"},
    {114, "Número do pedido"},
    {115, "Número do documento de transporte"},
    {116, "Cavalo"},
    {117, "Carreta"},
    {118, "Motorista"},
    {119, "Nota fiscal"},
    {120, "Dados da viagem"},
    {121, "Apuração de distância"},
    {122, "Apuração de janela de tempo"},
    {123, "Eficiência"},
    {124, "Remetente"},
    {125, "Destinatário"},
    {126, "Cliente"},
    {127, "Mapa de rastreamento"},
    {128, "Exportação para planilha"},
};

struct Grant {
  std::int64_t code;
  std::string_view presente;
};

constexpr Grant kFullCustomerGrants[] = {{114, "S"}, {115, "S"}, {116, "S"}, {117, "S"}, {118, "S"},
                                         {119, "S"}, {120, "S"}, {121, "N"}, {122, "N"}, {123, "N"},
                                         {124, "S"}, {125, "S"}, {126, "S"}, {127, "S"}};
constexpr Grant kBasicCustomerGrants[] = {{101, "S"}, {114, "N"}, {115, "S"}, {116, "N"},
                                          {117, "N"}, {118, "N"}, {119, "S"}, {120, "S"}};
constexpr Grant kVisitorGrants[] = {{114, "N"}, {115, "N"}, {120, "N"}};

// User groups of every carrier, in id order; the administrators hold every
// feature, the last group has no row at all.
struct UserGroup {
  std::string_view descricao;
  std::span<const Grant> grants;
  bool every_feature;
};

constexpr UserGroup kUserGroups[] = {
    {"Administradores", {}, true},
    {"Clientes - consulta completa", kFullCustomerGrants, false},
    {"Clientes - consulta básica", kBasicCustomerGrants, false},
    {"Visitantes", kVisitorGrants, false},
    {"Sem direitos", {}, false},
};
constexpr std::int64_t kGrantedGroup = 2;  // positions in kUserGroups, from 1
constexpr std::int64_t kRefusedGroup = 4;
constexpr std::int64_t kEmptyGroup = 5;

const City& CityNamed(std::string_view name) {
  const auto cities = Cities();
  return *std::find_if(cities.begin(), cities.end(),
                       [name](const City& city) { return city.name == name; });
}

// Writes the registers in foreign-key order, keeping the running ids.
class RegisterWriter {
 public:
  RegisterWriter(RowSink& sink, std::uint64_t seed, std::int64_t documents)
      : sink_(sink), random_(seed, kRegisterStream), taxes_(seed), documents_(documents) {}

  ReferenceData Write(GeneratorSummary& summary) {
    WriteFixedRegisters();
    WriteParties();
    for (const Carrier& carrier : kCarriers) WriteCarrier(carrier);
    WriteUserGroups(summary);
    return std::move(data_);
  }

 private:
  void WriteFixedRegisters() {
    for (const StaffType& type : kStaffTypes) {
      WriteRow(sink_, tables::kTipoColaborador, type.id, type.descricao, type.escopo);
    }
    for (std::int64_t id = 1; const std::string_view product : kProducts) {
      WriteRow(sink_, tables::kProduto, id++, product);
    }
    data_.products = std::ssize(kProducts);
    for (const MacroType& type : kMacroTypes) {
      WriteRow(sink_, tables::kTipoMacro, static_cast<std::int64_t>(type.id), type.descricao,
               type.visivel_cliente);
    }
    for (const Feature& feature : kFeatures) {
      WriteRow(sink_, tables::kParticulFuncao, feature.code, feature.descricao);
    }
  }

  // One party in seven is a person (a rural producer, an owner-driver).
  void WriteParties() {
    const std::int64_t parties = std::max<std::int64_t>(100, documents_ / 8);
    data_.party_cgc.reserve(static_cast<std::size_t>(parties));
    for (std::int64_t id = 1; id <= parties; ++id) {
      const City& city = random_.Pick(Cities());
      if (random_.Percent(14)) {
        WriteRow(sink_, tables::kParceiro, id, PersonName(random_), nullptr, taxes_.NextCpf(),
                 city.name, city.uf);
        data_.party_cgc.emplace_back();
      } else {
        data_.party_cgc.push_back(taxes_.NextCgc());
        WriteRow(sink_, tables::kParceiro, id, CompanyName(random_), data_.party_cgc.back(),
                 nullptr, city.name, city.uf);
      }
    }
  }

  void WriteCarrier(const Carrier& carrier) {
    CompanyRefs& company = data_.companies.emplace_back();
    company.id = std::ssize(data_.companies);
    company.share_percent = carrier.share_percent;
    const City& head_office = CityNamed(carrier.point_cities[0]);
    WriteRow(sink_, tables::kEmpresa, company.id, carrier.razao_social, carrier.nome_fantasia,
             taxes_.NextCgc(), head_office.name, head_office.uf);
    const std::int64_t documents = documents_ * carrier.share_percent / 100;
    WritePoints(carrier, company);
    WriteCustomers(company, std::max<std::int64_t>(8, documents / 150));
    const std::int64_t drivers = std::max<std::int64_t>(6, documents / 150);
    const std::int64_t first_supplier =
        WriteSuppliers(company, std::max<std::int64_t>(2, drivers / 10));
    const std::int64_t suppliers = next_supplier_ - first_supplier;
    WriteFleet(company, drivers, first_supplier, suppliers);
    WriteRoutes(carrier, company, std::clamp<std::int64_t>(documents / 2000, 12, 300));
  }

  void WritePoints(const Carrier& carrier, CompanyRefs& company) {
    for (const std::string_view city_name : carrier.point_cities) {
      const City& city = CityNamed(city_name);
      const std::int64_t point = ++next_point_;
      company.points.push_back(point);
      WriteRow(sink_, tables::kPontoOperacao, point, company.id,
               std::string(carrier.nome_fantasia) + " " + std::string(city.name), city.name,
               city.uf);
      for (const std::int64_t type : kPointStaff) WriteStaff(company.id, point, type);
    }
    WriteStaff(company.id, company.points.front(), kManagerType);
  }

  std::int64_t WriteStaff(std::int64_t company, std::int64_t point, std::int64_t type) {
    const std::int64_t id = ++next_staff_;
    WriteRow(sink_, tables::kColaborador, id, company, point, type, PersonName(random_),
             taxes_.NextCpf());
    return id;
  }

  // Customers are drawn among the parties; two in three belong to one of
  // the carrier's customer groups.
  void WriteCustomers(CompanyRefs& company, std::int64_t customers) {
    const std::int64_t groups = std::max<std::int64_t>(2, customers / 12);
    const std::int64_t first_group = next_group_ + 1;
    for (std::int64_t g = 0; g < groups; ++g) {
      WriteRow(sink_, tables::kGrupoCliente, ++next_group_, company.id,
               "Grupo " + CompanyName(random_));
    }
    const auto parties = std::ssize(data_.party_cgc);
    for (std::int64_t c = 0; c < customers; ++c) {
      const CustomerRef customer{++next_customer_, random_.Between(1, parties)};
      const std::int64_t group =
          random_.Percent(67) ? random_.Between(first_group, next_group_) : 0;
      WriteRow(sink_, tables::kCliente, customer.id, company.id, customer.party_id,
               IdOrNull(group));
      company.customers.push_back(customer);
    }
  }

  std::int64_t WriteSuppliers(const CompanyRefs& company, std::int64_t suppliers) {
    const std::int64_t first = next_supplier_ + 1;
    for (std::int64_t s = 0; s < suppliers; ++s) {
      WriteRow(sink_, tables::kFornecedor, ++next_supplier_, company.id,
               "Transportes " + PersonName(random_) + " Ltda", taxes_.NextCgc());
    }
    return first;
  }

  // Each driver has a tractor. A fifth of the tractors and a seventh of the
  // trailers are hired from suppliers and known by their plates.
  void WriteFleet(CompanyRefs& company, std::int64_t drivers, std::int64_t first_supplier,
                  std::int64_t suppliers) {
    for (std::int64_t d = 0; d < drivers; ++d) {
      const std::int64_t point = random_.Pick<std::int64_t>(company.points);
      company.drivers.push_back(WriteStaff(company.id, point, kDriverType));
      const std::int64_t tractor = ++next_tractor_;
      const std::string plate = Plate(next_plate_++, random_.Percent(55));
      const bool hired = random_.Percent(20);
      const std::int64_t supplier = hired ? first_supplier + random_.Between(0, suppliers - 1) : 0;
      WriteRow(sink_, tables::kCavalo, tractor, company.id,
               hired ? plate : std::to_string(1000 + d), plate,
               random_.Pick<std::string_view>(kTractorModels), IdOrNull(supplier));
      company.tractors.push_back(tractor);
    }
    const std::int64_t trailers = drivers * 13 / 10 + 1;
    for (std::int64_t t = 0; t < trailers; ++t) {
      const std::int64_t trailer = ++next_trailer_;
      const std::string plate = Plate(next_plate_++, random_.Percent(55));
      const bool hired = random_.Percent(14);
      const std::int64_t supplier = hired ? first_supplier + random_.Between(0, suppliers - 1) : 0;
      WriteRow(sink_, tables::kCarreta, trailer, company.id,
               hired ? plate : "C" + std::to_string(5000 + t), plate,
               random_.Pick<std::string_view>(kTrailerTypes), IdOrNull(supplier));
      company.trailers.push_back(trailer);
    }
  }

  // Most routes leave from one of the carrier's own cities.
  void WriteRoutes(const Carrier& carrier, CompanyRefs& company, std::int64_t routes) {
    const auto cities = Cities();
    for (std::int64_t r = 0; r < routes; ++r) {
      const City& from = random_.Percent(60)
                             ? CityNamed(random_.Pick<std::string_view>(carrier.point_cities))
                             : random_.Pick(cities);
      const City* to = &random_.Pick(cities);
      while (to->name == from.name) to = &random_.Pick(cities);
      RouteRef route;
      route.id = ++next_route_;
      route.km_tenths = std::max<std::int64_t>(
          300, RoadDistanceTenths(from, *to) * random_.Between(100, 112) / 100);
      route.planned_seconds = PlannedTravelSeconds(route.km_tenths);
      WriteRow(sink_, tables::kRota, route.id, company.id,
               std::string(from.name) + "/" + std::string(from.uf) + " x " + std::string(to->name) +
                   "/" + std::string(to->uf),
               from.name, from.uf, to->name, to->uf, route.km_tenths / 10.0,
               static_cast<double>(route.planned_seconds / kMinute) / (24 * 60));
      company.routes.push_back(route);
    }
  }

  void WriteUserGroups(GeneratorSummary& summary) {
    std::int64_t group = 0;
    std::int64_t grant = 0;
    for (const CompanyRefs& company : data_.companies) {
      const std::int64_t first = group + 1;
      for (const UserGroup& user_group : kUserGroups) {
        WriteRow(sink_, tables::kGrupoUsuario, ++group, company.id, user_group.descricao);
        if (user_group.every_feature) {
          for (const Feature& feature : kFeatures) {
            WriteRow(sink_, tables::kGrupoUsuarioParticul, ++grant, group, feature.code, "S");
          }
        }
        for (const Grant& g : user_group.grants) {
          WriteRow(sink_, tables::kGrupoUsuarioParticul, ++grant, group, g.code, g.presente);
        }
      }
      if (company.id == 1) {
        summary.granted_user_group_id = first + kGrantedGroup - 1;
        summary.granted_user_group_company_id = company.id;
        summary.refused_user_group_id = first + kRefusedGroup - 1;
        summary.empty_user_group_id = first + kEmptyGroup - 1;
      }
    }
  }

  RowSink& sink_;
  Random random_;
  TaxNumbers taxes_;
  std::int64_t documents_;
  ReferenceData data_;
  std::int64_t next_point_ = 0;
  std::int64_t next_staff_ = 0;
  std::int64_t next_group_ = 0;
  std::int64_t next_customer_ = 0;
  std::int64_t next_supplier_ = 0;
  std::int64_t next_tractor_ = 0;
  std::int64_t next_trailer_ = 0;
  std::int64_t next_plate_ = 0;
  std::int64_t next_route_ = 0;
};

}  // namespace

ReferenceData WriteReferenceData(RowSink& sink, std::uint64_t seed, std::int64_t documents,
                                 GeneratorSummary& summary) {
  return RegisterWriter(sink, seed, documents).Write(summary);
}

}  // namespace zebevi::schema

#include "schema/dataset.h"

#include <stdexcept>
#include <string>
#include <unordered_map>

#include "schema/calendar.h"
#include "schema/random.h"
#include "schema/reference_data.h"
#include "schema/tables.h"
#include "schema/trip.h"

namespace zebevi::schema {
namespace {

constexpr std::uint64_t kDocumentStream = 2;
constexpr std::int64_t kFirstDocumentNumber = 100001;
constexpr std::int64_t kProgressEvery = 1024;

// Counts the rows passing on to the engine's sink.
class CountingSink final : public RowSink {
 public:
  explicit CountingSink(RowSink& sink) : sink_(sink) {}

  void Write(const TableLayout& table, std::span<const SqlValue> row) override {
    sink_.Write(table, row);
    ++counts_[&table];
    ++rows_;
  }

  std::int64_t count(const TableLayout& table) const {
    const auto found = counts_.find(&table);
    return found == counts_.end() ? 0 : found->second;
  }
  std::int64_t rows() const { return rows_; }

 private:
  RowSink& sink_;
  std::unordered_map<const TableLayout*, std::int64_t> counts_;
  std::int64_t rows_ = 0;
};

struct Order {
  const CompanyRefs* company = nullptr;
  CustomerRef customer;
  std::int64_t id = 0;
  std::int64_t sender = 0;
  std::int64_t consignee = 0;
  std::int64_t product = 0;
  std::int64_t next_start = 0;  // when its next document's trip starts
  std::string number;
};

struct DocumentPlan {
  TripState state = TripState::kDelivered;
  bool routed = true;
  bool measured = true;
  std::int64_t consignee = 0;
};

std::string ZeroPadded(std::int64_t value, int width) {
  std::string text = std::to_string(value);
  return text.size() >= static_cast<std::size_t>(width)
             ? text
             : std::string(static_cast<std::size_t>(width) - text.size(), '0') + text;
}

SqlValue MomentOrNull(std::int64_t moment, const IsoText& text) {
  return moment == 0 ? SqlValue(nullptr) : SqlValue(text.view());
}

class DocumentWriter {
 public:
  DocumentWriter(RowSink& sink, const GeneratorOptions& options)
      : sink_(sink),
        options_(options),
        random_(options.seed, kDocumentStream),
        first_moment_(MomentOf(2024, 1, 8)),
        last_moment_(MomentOf(2026, 3, 20)) {}

  GeneratorSummary Run() {
    GeneratorSummary summary;
    refs_ = WriteReferenceData(sink_, options_.seed, options_.documents, summary);
    next_number_.assign(refs_.companies.size(), kFirstDocumentNumber);
    WriteShowcase(summary);
    while (documents_ < options_.documents) WriteRandomOrder();
    if (options_.progress) options_.progress(documents_, options_.documents);

    summary.documents = sink_.count(tables::kDoctoTransporte);
    summary.orders = sink_.count(tables::kPedido);
    summary.invoices = sink_.count(tables::kNotaFiscal);
    summary.occurrences = sink_.count(tables::kTrackingMensagem);
    summary.cycles = sink_.count(tables::kResumoCiclo);
    summary.exchanges = exchanges_;
    summary.exchanged_children = sink_.count(tables::kTrocaDoctoTransp);
    summary.routes = sink_.count(tables::kRota);
    summary.parties = sink_.count(tables::kParceiro);
    summary.customers = sink_.count(tables::kCliente);
    summary.rows = sink_.rows();
    return summary;
  }

 private:
  // The first two orders hold one document of every kind the summary names:
  // an exchange of three children, a plain document, one without route
  // (delivered to another consignee), one without cycle and one without
  // any arrival time.
  void WriteShowcase(GeneratorSummary& summary) {
    const CompanyRefs& company = refs_.companies.front();
    Order first = NewOrder(company, company.customers.front());
    while (refs_.party_cgc[static_cast<std::size_t>(first.consignee - 1)].empty() ||
           first.consignee == first.sender) {
      first.consignee = first.consignee % std::ssize(refs_.party_cgc) + 1;
    }
    WriteOrderRow(first);
    const DocumentPlan complete{TripState::kDelivered, true, true, first.consignee};
    const std::int64_t parent = WriteExchange(first, 3, complete);
    summary.exchange_parent_id = parent;
    summary.exchanged_document_id = parent - 3;
    summary.plain_document_id = WriteDocument(first, complete);
    const std::int64_t other_consignee = first.consignee % std::ssize(refs_.party_cgc) + 1;
    summary.document_without_route_id =
        WriteDocument(first, {TripState::kDelivered, false, true, other_consignee});
    summary.multi_document_order = first.number;
    summary.multi_document_order_documents = documents_;
    summary.multi_document_order_company_id = company.id;
    summary.consignee_cgc = refs_.party_cgc[static_cast<std::size_t>(first.consignee - 1)];

    Order second = NewOrder(company, company.customers.back());
    WriteOrderRow(second);
    summary.document_without_cycle_id =
        WriteDocument(second, {TripState::kDelivered, true, false, second.consignee});
    summary.document_without_arrival_id =
        WriteDocument(second, {TripState::kUnplanned, true, false, second.consignee});
  }

  // An order of one to four slots; one slot in fourteen is an exchange.
  void WriteRandomOrder() {
    const CompanyRefs& company = PickCompany();
    Order order = NewOrder(company, random_.Pick<CustomerRef>(company.customers));
    WriteOrderRow(order);
    const std::int64_t slots = SlotCount();
    for (std::int64_t slot = 0; slot < slots && documents_ < options_.documents; ++slot) {
      const std::int64_t room = options_.documents - documents_;
      if (room >= 2 && random_.Percent(7)) {
        const std::int64_t children = random_.Between(1, std::min<std::int64_t>(4, room - 1));
        WriteExchange(order, children, RandomPlan(order));
      } else {
        WriteDocument(order, RandomPlan(order));
      }
    }
  }

  const CompanyRefs& PickCompany() {
    std::int64_t draw = random_.Between(0, 99);
    for (const CompanyRefs& company : refs_.companies) {
      if (draw < company.share_percent) return company;
      draw -= company.share_percent;
    }
    return refs_.companies.front();
  }

  std::int64_t SlotCount() {
    const std::int64_t draw = random_.Between(0, 99);
    return draw < 40 ? 1 : draw < 70 ? 2 : draw < 90 ? 3 : 4;
  }

  // The newest fiftieth of the documents is still under way.
  DocumentPlan RandomPlan(const Order& order) {
    DocumentPlan plan;
    if (documents_ >= options_.documents * 49 / 50) {
      plan.state = random_.Percent(90) ? TripState::kUnderWay : TripState::kUnplanned;
    } else if (random_.Percent(1)) {
      plan.state = TripState::kUnplanned;
    }
    plan.routed = random_.Percent(85);
    plan.measured = plan.state == TripState::kDelivered && !random_.Percent(2);
    const auto parties = std::ssize(refs_.party_cgc);
    plan.consignee = random_.Percent(80) ? order.consignee : random_.Between(1, parties);
    return plan;
  }

  // Orders follow the documents' progress through the calendar; a customer
  // ships its own goods seven times in ten, otherwise it buys them.
  Order NewOrder(const CompanyRefs& company, const CustomerRef& customer) {
    Order order;
    order.company = &company;
    order.customer = customer;
    order.id = ++orders_;
    const auto parties = std::ssize(refs_.party_cgc);
    if (random_.Percent(70)) {
      order.sender = customer.party_id;
      order.consignee = random_.Between(1, parties);
    } else {
      order.sender = random_.Between(1, parties);
      order.consignee = customer.party_id;
    }
    order.product = random_.Between(1, refs_.products);
    order.next_start = first_moment_ +
                       (last_moment_ - first_moment_) * documents_ / options_.documents +
                       random_.Between(5 * kHour, 14 * kHour);
    order.number = "45" + ZeroPadded((order.id * 7919 + 13579) % 100000000, 8);
    return order;
  }

  void WriteOrderRow(const Order& order) {
    const IsoText placed = DateText(order.next_start - random_.Between(1, 5) * kDay);
    WriteRow(sink_, tables::kPedido, order.id, order.company->id, order.customer.id, order.number,
             "PI" + ZeroPadded(order.id, 7), placed.view());
  }

  // Children first, then the parent that replaces them; returns the parent.
  std::int64_t WriteExchange(Order& order, std::int64_t children, const DocumentPlan& plan) {
    const std::int64_t first_child = documents_ + 1;
    for (std::int64_t c = 0; c < children; ++c) WriteDocument(order, plan);
    const std::int64_t parent = WriteDocument(order, plan);
    const IsoText exchanged = DateTimeText(order.next_start - kDay);
    for (std::int64_t child = first_child; child < parent; ++child) {
      WriteRow(sink_, tables::kTrocaDoctoTransp, child, parent, exchanged.view());
    }
    ++exchanges_;
    return parent;
  }

  std::int64_t WriteDocument(Order& order, const DocumentPlan& plan) {
    const std::int64_t id = ++documents_;
    const CompanyRefs& company = *order.company;
    TripRequest request;
    request.state = plan.state;
    request.start = order.next_start;
    const RouteRef* route = plan.routed ? &random_.Pick<RouteRef>(company.routes) : nullptr;
    request.km_tenths = route ? route->km_tenths : random_.Between(800, 26000);
    request.planned_seconds =
        route ? route->planned_seconds : PlannedTravelSeconds(request.km_tenths);
    PlanTrip(random_, request, trip_);
    order.next_start += random_.Between(1, 3) * kDay;
    order.next_start += random_.Between(-3 * kHour, 3 * kHour);

    const auto vehicle =
        static_cast<std::size_t>(random_.Between(0, std::ssize(company.tractors) - 1));
    const std::int64_t trailer =
        random_.Percent(92) ? random_.Pick<std::int64_t>(company.trailers) : 0;
    const std::int64_t point = random_.Pick<std::int64_t>(company.points);
    const std::size_t company_index = static_cast<std::size_t>(company.id - 1);
    const IsoText issued = DateText(trip_.loaded_at);
    const IsoText planned = DateTimeText(trip_.planned_arrival);
    const IsoText estimated = DateTimeText(trip_.tracker_estimate);
    const IsoText arrived = DateTimeText(trip_.arrival);
    const IsoText unloaded = DateTimeText(trip_.unloaded_at);
    const SqlValue verdict = plan.state == TripState::kUnplanned ? SqlValue("I")
                             : plan.state == TripState::kUnderWay
                                 ? SqlValue(nullptr)
                                 : SqlValue(trip_.arrival <= trip_.planned_arrival ? "S" : "N");
    // Every draw happens above: the order in which arguments are evaluated
    // is the compiler's choice.
    WriteRow(sink_, tables::kDoctoTransporte, id, company.id, point, next_number_[company_index]++,
             issued.view(), order.id, order.customer.id, order.sender, plan.consignee,
             order.product, company.tractors[vehicle], IdOrNull(trailer), company.drivers[vehicle],
             IdOrNull(route ? route->id : 0), MomentOrNull(trip_.planned_arrival, planned),
             MomentOrNull(trip_.tracker_estimate, estimated), MomentOrNull(trip_.arrival, arrived),
             MomentOrNull(trip_.unloaded_at, unloaded), verdict);
    WriteInvoices(id);
    WriteOccurrences(id);
    if (plan.measured) WriteCycle(id);
    if (options_.progress && documents_ % kProgressEvery == 0) {
      options_.progress(documents_, options_.documents);
    }
    return id;
  }

  // One to five invoices; declared values from a few hundred reais to five
  // million, with cents, now and then a round amount.
  void WriteInvoices(std::int64_t document) {
    const std::int64_t count = random_.Between(1, 5);
    for (std::int64_t i = 0; i < count; ++i) {
      const std::int64_t id = ++invoices_;
      const std::int64_t band = random_.Between(0, 99);
      std::int64_t cents = band < 8    ? random_.Between(100000000, 500000000)
                           : band < 35 ? random_.Between(10000000, 100000000)
                           : band < 80 ? random_.Between(1000000, 10000000)
                                       : random_.Between(20000, 1000000);
      if (random_.Percent(5)) cents -= cents % 100;
      const std::string number = std::to_string(1000 + id * 3 + random_.Between(0, 2));
      const std::string series = random_.Percent(85) ? "1" : std::to_string(random_.Between(2, 3));
      const IsoText issued = DateText(trip_.loaded_at - random_.Between(0, 2) * kDay);
      const std::int64_t grams = random_.Between(50000, 32000000 / count);
      WriteRow(sink_, tables::kNotaFiscal, id, document, number, series, issued.view(),
               static_cast<double>(grams) / 1000.0, static_cast<double>(cents) / 100.0);
    }
  }

  void WriteOccurrences(std::int64_t document) {
    for (const Occurrence& occurrence : trip_.occurrences) {
      const IsoText moment = DateTimeText(occurrence.moment);
      WriteRow(sink_, tables::kTrackingMensagem, ++occurrences_, document,
               static_cast<std::int64_t>(occurrence.type), moment.view(), occurrence.odometer);
    }
  }

  void WriteCycle(std::int64_t document) {
    const CycleMeasures& c = trip_.cycle;
    const std::int64_t transporte = c.pos_carga + c.rem_dest + c.ant_desc;
    const std::int64_t operacao =
        c.ate_rem + c.ant_carga + c.carga + transporte + c.descarga + c.pos_desc + c.retorno;
    WriteRow(sink_, tables::kResumoCiclo, document,
             (c.km_ate_rem + c.km_rem_dest + c.km_apos_dest) / 10.0, c.km_ate_rem / 10.0,
             c.km_rem_dest / 10.0, c.km_apos_dest / 10.0, operacao, transporte, c.ate_rem,
             c.retorno, c.carga + c.descarga, c.carga, c.descarga, c.janela_espera, c.ant_carga,
             c.pos_carga, c.ant_desc, c.pos_desc, c.rem_dest);
  }

  CountingSink sink_;
  const GeneratorOptions& options_;
  Random random_;
  const std::int64_t first_moment_;
  const std::int64_t last_moment_;
  ReferenceData refs_;
  std::vector<std::int64_t> next_number_;  // per company
  Trip trip_;
  std::int64_t documents_ = 0;
  std::int64_t orders_ = 0;
  std::int64_t invoices_ = 0;
  std::int64_t occurrences_ = 0;
  std::int64_t exchanges_ = 0;
};

}  // namespace

GeneratorSummary ProduceDataSet(RowSink& sink, const GeneratorOptions& options) {
  if (options.documents < kMinimumDocuments) {
    throw std::runtime_error("a reference data set needs at least " +
                             std::to_string(kMinimumDocuments) + " documents, not " +
                             std::to_string(options.documents));
  }
  return DocumentWriter(sink, options).Run();
}

}  // namespace zebevi::schema

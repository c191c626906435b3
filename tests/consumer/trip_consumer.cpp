// The typed layer of the installed package: the trip summary of a document,
// three of its figures, then the whole answer as version 1 JSON.
#include <zebevi/report.h>

#include <iostream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: trip_consumer CONNECTION DOCUMENT_ID\n";
    return 2;
  }
  namespace report = zebevi::report;
  report::TripQuery query;
  query.connection = argv[1];                         // "sqlite:/path/to/demo.db"
  query.document = report::IdentifierInput(argv[2]);  // an Int32, as the operation takes it
  const report::TripSummary trip = report::Trip(query);
  if (trip.status != 0) {
    std::cerr << trip.message << '\n';
    return 1;
  }
  std::cout << "document " << trip.document.number << '\n'
            << "driver " << trip.header.driver << '\n'
            << "loading "
            << trip.cycle.times.loading.value.value_or(std::chrono::minutes(-1)).count() << " min ("
            << trip.cycle.times.loading.display << ")\n"
            << report::ToJson(trip) << '\n';
}

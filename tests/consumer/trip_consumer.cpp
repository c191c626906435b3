// The typed layer of the installed package: the trip summary of a document
// (CONNECTION DOCUMENT_ID), three of its figures, then the whole answer as JSON.
#include <zebevi/report.h>

#include <iostream>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  namespace report = zebevi::report;
  const report::TripSummary trip =
      report::Trip({.connection = argv[1], .document = report::IdentifierInput(argv[2])});
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

// The reference data set, independent of the engine that stores it.
#ifndef ZEBEVI_SCHEMA_DATASET_H_
#define ZEBEVI_SCHEMA_DATASET_H_

#include "schema/generator.h"
#include "schema/row_sink.h"

namespace zebevi::schema {

// Writes the whole data set of `options` into `sink`: the registers, then
// the orders and their documents with invoices, tracking occurrences,
// measured cycles and exchanges. Roughly a fifth of the documents take part
// in an exchange (parents with one to four children), a seventh has no
// route, one in twenty no measured cycle; the newest ones are still under
// way. The first documents are laid out so that every sample of the summary
// exists. Throws std::runtime_error for fewer than kMinimumDocuments
// documents, and passes on whatever the sink or the progress callback throw.
GeneratorSummary ProduceDataSet(RowSink& sink, const GeneratorOptions& options);

}  // namespace zebevi::schema

#endif  // ZEBEVI_SCHEMA_DATASET_H_

// A worker of a many-document run: this program started again with --worker. It takes one document at
// a time from the run, in a Word of its own that it keeps from one document to the next (a new one
// after a document fails), and answers with the document's result. It saves into the folder the run
// names beside the output; the run moves the finished file into place in one step once it has the
// answer, so that an output is complete or absent, and reported, even when a worker is ended midway.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "automation/word.h"
#include "batch/document_run.h"

namespace batch {

// Runs until the run closes the channel; returns the exit status.
int runWorker(const std::function<std::shared_ptr<automation::Application>()>& startWord,
              const std::vector<Step>& steps, const SettingValues& settings);

}  // namespace batch

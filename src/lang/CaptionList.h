// The process-wide caption list: the lines of the last language file loaded. The service thread
// replaces it while the main thread may look captions up, so it is published as a snapshot: a
// lookup holds the guard only to take the current lines, never while it reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "lang/LanguageLines.h"

namespace kxp::lang {

class CaptionList {
  public:
    void Replace(LanguageLines lines);
    // The caption with this number, or empty when the list has no such line (or no file yet).
    std::u16string LookupCaption(std::int64_t number) const;

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const LanguageLines> lines_;
};

// The one list of the process, alive from first use to the end of the process.
CaptionList& ProcessCaptions();

}  // namespace kxp::lang

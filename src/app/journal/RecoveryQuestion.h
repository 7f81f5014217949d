#pragma once
// The question asked at start when an earlier run ended with readings neither saved nor
// discarded.
#include "app/journal/JournalDatabase.h"

#include <QString>

namespace varnex {

// "The last session ended without saving N readings (from DATE TIME to DATE TIME). Recover
// them?", in local time, and a line on the older sessions when there are any.
QString RecoveryQuestion(const RecoveryOffer& offer);

} // namespace varnex

#include "app/journal/RecoveryQuestion.h"

#include <QDateTime>

namespace varnex {

namespace {

QString LocalText(std::int64_t utcMs)
{
    if (utcMs == 0)
        return QStringLiteral("an unknown time"); // only rows loaded from files, which carry no date
    return QDateTime::fromMSecsSinceEpoch(utcMs).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

QString RecoveryQuestion(const RecoveryOffer& offer)
{
    QString text = QStringLiteral("The last session ended without saving %1 readings (from %2 to %3). Recover them?")
                       .arg(offer.rows)
                       .arg(LocalText(offer.firstUtcMs), LocalText(offer.lastUtcMs));
    const auto older = offer.olderRunIds.size();
    if (older == 1)
        text += QStringLiteral("\n\n1 older session with unsaved readings stays in the journal (varnex-cli journal list).");
    else if (older > 1)
        text += QStringLiteral("\n\n%1 older sessions with unsaved readings stay in the journal (varnex-cli journal list).")
                    .arg(older);
    return text;
}

} // namespace varnex

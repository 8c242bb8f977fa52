#include "service/minute_summary.h"

namespace bivane {
namespace {

QString timeOfDay(std::int64_t ms) {
    const std::int64_t centiseconds = ms / 10;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(centiseconds / 360000, 2, 10, QLatin1Char('0'))
        .arg(centiseconds / 6000 % 60, 2, 10, QLatin1Char('0'))
        .arg(centiseconds / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(centiseconds % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace

void MinuteSummary::count(const CycleReport& report) {
    switch (report.outcome) {
        case CycleOutcome::NotReady:
        case CycleOutcome::Waiting:
            return;
        case CycleOutcome::Heading:
            ++m_headings;
            m_valid += report.headingValid ? 1 : 0;
            m_lastHeading = report;
            break;
        default:
            break;
    }
    ++m_epochs;
    m_timeDiffSeconds = report.timeDiffSeconds;
}

QString MinuteSummary::takeLine() {
    QString line =
        QStringLiteral("last minute: %1 epochs, %2 headings (THS valid %3, not valid %4)")
            .arg(m_epochs)
            .arg(m_headings)
            .arg(m_valid)
            .arg(m_epochs - m_valid);
    if (m_lastHeading) {
        line += QStringLiteral(", last heading %1° at %2 UTC")
                    .arg(static_cast<double>(m_lastHeading->heading), 0, 'f', 1)
                    .arg(timeOfDay(m_lastHeading->instantMs));
    } else {
        line += QStringLiteral(", no heading");
    }
    if (m_timeDiffSeconds) {
        line += QStringLiteral(", time difference %1 s").arg(*m_timeDiffSeconds, 0, 'f', 2);
    }
    *this = MinuteSummary();
    return line;
}

}  // namespace bivane

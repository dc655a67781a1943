// Project files: any bytes either open or are refused with a message; what opens saves and opens again the
// same, and saves to the same bytes.
#include "FuzzChecks.h"

#include "project/ProjectFile.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace ambrel;

namespace {

bool sameContent(const ProjectFileContent &a, const ProjectFileContent &b)
{
    // The picked date is kept only while the project starts on it.
    return a.name == b.name && a.startOnPickedDate == b.startOnPickedDate
        && (!a.startOnPickedDate || a.pickedStartDate == b.pickedStartDate)
        && a.workingWeekApplies == b.workingWeekApplies && a.taskText == b.taskText;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Refusable<ProjectFileContent> opened = parseProjectFile(bytes);

    // Reading the same bytes under a file name agrees, and names the file in its message (the reader may
    // give its own reason first, such as text that is not UTF-8).
    const Refusable<ProjectFileContent> read = readProjectFile(bytes, QStringLiteral("fuzz.ambrel"));
    FUZZ_REQUIRE(opened.refused() == read.refused());
    if (opened.refused()) {
        FUZZ_REQUIRE(!opened.refusal().text.isEmpty());
        const QLatin1String prefix("Could not open fuzz.ambrel: ");
        const QString &named = read.refusal().text;
        FUZZ_REQUIRE(named.startsWith(prefix) && named.size() > prefix.size());
        return 0;
    }
    FUZZ_REQUIRE(isProjectFile(bytes) && sameContent(*opened, *read));
    FUZZ_REQUIRE(!opened->taskText.contains(QLatin1String("\r\n")));

    const QByteArray saved = projectFileBytes(*opened);
    FUZZ_REQUIRE(isProjectFile(saved));
    const Refusable<ProjectFileContent> again = parseProjectFile(saved);
    FUZZ_REQUIRE(!again.refused());
    FUZZ_REQUIRE(sameContent(*opened, *again));
    FUZZ_REQUIRE(projectFileBytes(*again) == saved);
    return 0;
}

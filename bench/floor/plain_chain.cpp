// The floor for ambrel-cli: a plain program that reads a chain of "Name + N" lines and prints the bytes
// ambrel-cli prints for it with --week 1111100 --days-off "" and the project's default name. It knows
// nothing else of the grammar, so no program printing these bytes can cost much less.
// Usage: plain_chain YYYY-MM-DD FILE
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Days since 1970-01-01 and back, after Howard Hinnant's civil-date algorithms.
long daysFromCivil(long y, long m, long d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

void putDate(std::string &out, long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long d = doy - (153 * mp + 2) / 5 + 1;
    const long m = mp < 10 ? mp + 3 : mp - 9;
    const long y = yoe + era * 400 + (m <= 2);
    // Room for any long, so the compiler sees nothing cut; the plan's years have four digits.
    char text[64];
    const int written = std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", y, m, d);
    out.append(text, std::size_t(written));
}

bool isWorkingDay(long day)
{
    return (day + 3) % 7 < 5; // 1970-01-01 was a Thursday; Monday is 0
}

long nextWorkingDay(long day)
{
    while (!isWorkingDay(day))
        ++day;
    return day;
}

} // namespace

int main(int argc, char **argv)
{
    long y = 0, m = 0, d = 0;
    if (argc != 3 || std::sscanf(argv[1], "%ld-%ld-%ld", &y, &m, &d) != 3)
        return 2;
    std::FILE *file = std::fopen(argv[2], "rb");
    if (!file)
        return 2;
    std::string text;
    char chunk[1 << 16];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, got);
    std::fclose(file);

    std::string out = "Task\tStart Date\tEnd Date\tTask Duration\n";
    long day = nextWorkingDay(daysFromCivil(y, m, d));
    for (size_t begin = 0; begin < text.size();) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        const size_t plus = text.find('+', begin);
        const long days = std::strtol(text.c_str() + plus + 1, nullptr, 10);
        long last = day;
        for (long left = days - 1; left > 0; --left)
            last = nextWorkingDay(last + 1);
        out += "My Project: ";
        out.append(text, begin, plus - begin);
        out += '\t';
        putDate(out, day);
        out += '\t';
        putDate(out, last);
        out += '\t';
        out += std::to_string(days);
        out += '\n';
        day = nextWorkingDay(last + 1);
        begin = end + 1;
        if (out.size() > (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

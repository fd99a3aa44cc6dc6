#include "engine/job/SearchJob.h"

#include <cctype>

namespace tarnwick {

SearchJob DefaultSearchJob(std::int64_t now)
{
    SearchJob job;
    job.dateFrom = now - 86'400;
    job.dateTo = now;
    return job;
}

std::string NormalizeBackupExtension(const std::string& extension)
{
    std::size_t start = 0;
    while (start < extension.size() && extension[start] == ' ') ++start;
    std::string result = extension.substr(start);
    if (result.empty() || result.front() != '.') result.insert(result.begin(), '.');
    return result;
}

std::string NormalizeFileTypes(const std::string& typed)
{
    std::string compact;
    for (unsigned char c : typed) {
        if (std::isspace(c)) continue;
        compact.push_back(c == ',' ? ';' : static_cast<char>(std::tolower(c)));
    }
    if (compact.empty()) return compact;
    if (compact.back() != ';') compact.push_back(';');

    std::string result;
    std::size_t start = 0;
    while (start < compact.size()) {
        const std::size_t end = compact.find(';', start);
        const std::string entry = compact.substr(start, end - start);
        start = end + 1;
        if (entry.empty()) continue;
        if (!result.empty()) result += ' ';
        if (entry.front() != '.' && entry.front() != '*') result += '.';
        result += entry;
        result += ';';
    }
    return result;
}

}  // namespace tarnwick

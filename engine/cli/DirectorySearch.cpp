#include "DirectorySearch.h"

#include "TemporaryOutput.h"
#include "Utf8.h"

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace {

// A filter after the translation that the Windows search applies to it
// before matching. Kept apart from the characters themselves, because '<',
// '>' and '"' are ordinary in names here.
enum class Token { Literal, Star, StarToLastDot, QuestionMark, Dot };
struct FilterToken {
    Token kind;
    char literal;
};

std::vector<FilterToken> translate(const std::string &filter) {
    if (filter == "*.*")
        return {{Token::Star, 0}};
    std::vector<FilterToken> tokens;
    for (std::size_t i = 0; i < filter.size(); ++i) {
        const char c = filter[i];
        const char next = i + 1 < filter.size() ? filter[i + 1] : '\0';
        if (c == '?')
            tokens.push_back({Token::QuestionMark, 0});
        else if (c == '*')
            tokens.push_back(
                {next == '.' ? Token::StarToLastDot : Token::Star, 0});
        else if (c == '.' && (next == '*' || next == '?' || next == '\0'))
            tokens.push_back({Token::Dot, 0});
        else
            tokens.push_back({Token::Literal, c});
    }
    return tokens;
}

// The length in bytes of the character that starts at name[n]: a whole
// UTF-8 sequence, or one byte where the bytes there are not one (a byte of
// another encoding counts as a character of its own).
std::size_t characterLength(const std::string &name, std::size_t n) {
    return std::max<std::size_t>(utf8SequenceLength(name, n), 1);
}

} // namespace

bool isDirectory(const std::string &path) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 &&
           S_ISDIR(status.st_mode);
}

bool matchesFilter(const std::string &filter, const std::string &name) {
    const std::vector<FilterToken> tokens = translate(filter);
    const std::size_t P = tokens.size();
    const std::size_t N = name.size();
    const std::size_t lastDot = name.rfind('.');

    // matches[p][n]: tokens from p on match the name from n on. Filled from
    // the end; names and filters are short.
    std::vector<std::vector<char>> matches(P + 1, std::vector<char>(N + 1, 0));
    matches[P][N] = 1;
    for (std::size_t p = P; p-- > 0;) {
        for (std::size_t n = N + 1; n-- > 0;) {
            const bool more = n < N;
            const char c = more ? name[n] : '\0';
            bool match = false;
            switch (tokens[p].kind) {
            case Token::Literal:
                match = more && c == tokens[p].literal && matches[p + 1][n + 1];
                break;
            case Token::Star:
                match = matches[p + 1][n] || (more && matches[p][n + 1]);
                break;
            case Token::StarToLastDot:
                match = matches[p + 1][n] ||
                        (more && n != lastDot && matches[p][n + 1]);
                break;
            case Token::QuestionMark:
                if (more && c != '.') {
                    match = matches[p + 1][n + characterLength(name, n)];
                } else {
                    // Skips the rest of a run of question marks.
                    std::size_t q = p;
                    while (q < P && tokens[q].kind == Token::QuestionMark)
                        ++q;
                    match = matches[q][n];
                }
                break;
            case Token::Dot:
                match = (more && c == '.' && matches[p + 1][n + 1]) ||
                        (!more && matches[p + 1][n]);
                break;
            }
            matches[p][n] = match;
        }
    }
    return matches[0][0];
}

std::vector<std::string> findEntries(const std::string &pattern) {
    const std::size_t slash = pattern.rfind('/');
    const std::string directory = slash == std::string::npos ? "."
                                  : slash == 0               ? "/"
                                               : pattern.substr(0, slash);
    const std::string filter =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);

    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(directory.c_str()),
                                                   ::closedir);
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir.get())) {
        // What a run is writing, or a killed run left, is no input.
        if (isTemporaryOutputName(entry->d_name))
            continue;
        if (matchesFilter(filter, entry->d_name))
            names.emplace_back(entry->d_name);
    }
    return names;
}

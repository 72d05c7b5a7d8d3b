#pragma once
// Where a row comes from, as its 备注 says: a header or a namespace, perhaps
// followed by a note ("twain.h (Wine)"); and the sources that declare each kind
// of error code's own names.
#include <algorithm>
#include <iterator>
#include <string_view>

namespace finder {

// Where the metadata and the headers put each kind's facility and error names.
inline const char* const kHresultSources[] = {"winerror.h", "Windows.Win32.System.Diagnostics.Debug"};
inline const char* const kNtSources[] = {"ntstatus.h", "Windows.Win32.Foundation"};
inline const char* const kWin32ErrorSources[] = {"winerror.h", "Windows.Win32.Foundation"};

template <class Char>
bool SourceIs(std::basic_string_view<Char> source, std::string_view wanted) {
    if (source.size() < wanted.size() || (source.size() > wanted.size() && source[wanted.size()] != ' ')) return false;
    return std::equal(wanted.begin(), wanted.end(), source.begin(),
                      [](char w, Char s) { return static_cast<Char>(static_cast<unsigned char>(w)) == s; });
}

template <class Char, std::size_t N>
bool FromAny(std::basic_string_view<Char> source, const char* const (&sources)[N]) {
    return std::any_of(std::begin(sources), std::end(sources), [&](const char* s) { return SourceIs(source, s); });
}

inline bool FromWin32ErrorSource(std::u16string_view source) { return FromAny(source, kWin32ErrorSources); }

}  // namespace finder

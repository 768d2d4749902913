#pragma once
// One search across every document of the incident: every occurrence of a
// text, letter case ignored by the log viewer's own rule, in the order the
// documents are listed and by position within each. Occurrences do not
// overlap: after a hit the search goes on behind it, as the log viewer's
// search does from one press to the next ("aa" is found twice in "aaaa").
// The documents are folded to small letters once, on the first search, and
// every search after reads the folded copy.
#include "workbench/IncidentTexts.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace pellam {

struct SearchHit {
    std::size_t document = 0; // its index in IncidentTexts::documents
    std::int32_t position = 0; // the hit's text position in that document
    std::int32_t length = 0;
    // The date and time of the entry holding the hit; nothing before the
    // first dated entry and in documents without dates.
    std::optional<LocalSeconds> time;
    // Up to kContextReach characters either side of the hit, cut at line
    // breaks; line breaks inside the hit itself read as blanks.
    std::u16string context;
    std::int32_t contextHit = 0; // where the hit begins in `context`
};

struct SearchAnswer {
    std::vector<SearchHit> hits;
    bool capped = false; // there were more hits than were kept
    bool stopped = false; // the search was asked to stop before its end
};

class IncidentSearch {
public:
    static constexpr std::int32_t kContextReach = 40;
    // What a window keeps of one search: a one-letter search of a large log
    // would otherwise fill the memory with hits nobody reads.
    static constexpr std::size_t kHitCap = 10000;

    explicit IncidentSearch(std::shared_ptr<const IncidentTexts> texts);

    const IncidentTexts& texts() const { return *m_texts; }

    // Folds the documents now rather than on the first search (a window
    // does it on its worker as soon as the documents arrive).
    void Prepare() const;

    // Visits every hit of `query` in order until `visit` returns false or a
    // stop is requested; false when it ended early either way. An empty
    // query has no hit. Safe to call from several threads at once.
    bool ForEachHit(
        std::u16string_view query, const std::function<bool(const SearchHit&)>& visit, std::stop_token stop = {}) const;

    // The first `cap` hits of `query`.
    SearchAnswer Find(std::u16string_view query, std::size_t cap = kHitCap, std::stop_token stop = {}) const;

private:
    const std::vector<std::u16string>& Folded() const;

    std::shared_ptr<const IncidentTexts> m_texts;
    mutable std::once_flag m_foldOnce;
    mutable std::vector<std::u16string> m_folded;
};

// Every start of `needle` in `folded`, both already folded, without overlap,
// from `from`; a Horspool search that skips on the low byte of each unit.
// `visit` returns false to end the search early.
void FindFolded(std::u16string_view folded, std::u16string_view needle, std::size_t from,
    const std::function<bool(std::size_t)>& visit);

// The context of the hit [position, position + length) in `text`.
std::u16string HitContext(std::u16string_view text, std::size_t position, std::size_t length, std::int32_t& hitAt);

} // namespace pellam

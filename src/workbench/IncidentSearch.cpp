#include "workbench/IncidentSearch.h"

#include "logs/LogSearch.h"

#include <algorithm>
#include <array>

namespace pellam {
namespace {

// FoldCase for every UTF-16 unit, looked up instead of computed: the
// documents of a large incident are tens of millions of units.
const std::array<char16_t, 65536>& FoldTable()
{
    static const auto table = [] {
        std::array<char16_t, 65536> t {};
        for (std::size_t c = 0; c < t.size(); ++c)
            t[c] = FoldCase(static_cast<char16_t>(c));
        return t;
    }();
    return table;
}

std::u16string Fold(std::u16string_view text)
{
    const auto& table = FoldTable();
    std::u16string folded(text.size(), u'\0');
    std::transform(text.begin(), text.end(), folded.begin(), [&](char16_t c) { return table[c]; });
    return folded;
}

bool IsBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

void FindFolded(std::u16string_view folded, std::u16string_view needle, std::size_t from,
    const std::function<bool(std::size_t)>& visit)
{
    const std::size_t m = needle.size();
    const std::size_t n = folded.size();
    if (m == 0 || m > n)
        return;
    if (m == 1) {
        for (std::size_t i = folded.find(needle[0], from); i != std::u16string_view::npos;
             i = folded.find(needle[0], i + 1))
            if (!visit(i))
                return;
        return;
    }
    // Horspool: the unit under the window's last place says how far the
    // window may move. Units are told apart by their low byte only; where
    // two share it the smaller move is kept, which never jumps a match.
    std::array<std::size_t, 256> skip;
    skip.fill(m);
    for (std::size_t i = 0; i + 1 < m; ++i)
        skip[needle[i] & 0xFF] = m - 1 - i;
    const char16_t last = needle[m - 1];
    const char16_t* text = folded.data();
    for (std::size_t i = from; i + m <= n;) {
        const char16_t c = text[i + m - 1];
        if (c == last && std::equal(needle.begin(), needle.end() - 1, text + i)) {
            if (!visit(i))
                return;
            i += m; // the next hit begins after this one
            continue;
        }
        i += skip[c & 0xFF];
    }
}

std::u16string HitContext(std::u16string_view text, std::size_t position, std::size_t length, std::int32_t& hitAt)
{
    const std::size_t reach = static_cast<std::size_t>(IncidentSearch::kContextReach);
    position = std::min(position, text.size());
    const std::size_t hitEnd = std::min(position + length, text.size());
    std::size_t begin = position;
    const std::size_t floor = position > reach ? position - reach : 0;
    while (begin > floor && !IsBreak(text[begin - 1]))
        --begin;
    if (begin < position && IsLowSurrogate(text[begin]))
        ++begin; // not half a character
    std::size_t end = hitEnd;
    const std::size_t ceiling = std::min(text.size(), hitEnd + reach);
    while (end < ceiling && !IsBreak(text[end]))
        ++end;
    if (end > hitEnd && end < text.size() && IsHighSurrogate(text[end - 1]))
        --end;
    std::u16string context(text.substr(begin, end - begin));
    for (std::size_t i = position - begin; i < hitEnd - begin; ++i)
        if (IsBreak(context[i]))
            context[i] = u' ';
    hitAt = static_cast<std::int32_t>(position - begin);
    return context;
}

IncidentSearch::IncidentSearch(std::shared_ptr<const IncidentTexts> texts) : m_texts(std::move(texts)) { }

const std::vector<std::u16string>& IncidentSearch::Folded() const
{
    std::call_once(m_foldOnce, [this] {
        m_folded.reserve(m_texts->documents.size());
        for (const IncidentDocument& doc : m_texts->documents)
            m_folded.push_back(Fold(doc.text));
    });
    return m_folded;
}

void IncidentSearch::Prepare() const
{
    (void)Folded();
}

bool IncidentSearch::ForEachHit(
    std::u16string_view query, const std::function<bool(const SearchHit&)>& visit, std::stop_token stop) const
{
    const std::u16string needle = Fold(query);
    const auto& folded = Folded();
    for (std::size_t d = 0; d < folded.size(); ++d) {
        if (stop.stop_requested())
            return false;
        const IncidentDocument& doc = m_texts->documents[d];
        bool going = true;
        FindFolded(folded[d], needle, 0, [&](std::size_t p) {
            if (stop.stop_requested())
                return going = false;
            SearchHit hit;
            hit.document = d;
            hit.position = static_cast<std::int32_t>(p);
            hit.length = static_cast<std::int32_t>(needle.size());
            if (const DatedEntry* entry = EntryHolding(doc.entries, hit.position))
                hit.time = entry->time;
            hit.context = HitContext(doc.text, p, needle.size(), hit.contextHit);
            return going = visit(hit);
        });
        if (!going)
            return false;
    }
    return true;
}

SearchAnswer IncidentSearch::Find(std::u16string_view query, std::size_t cap, std::stop_token stop) const
{
    SearchAnswer answer;
    const bool whole = ForEachHit(
        query,
        [&](const SearchHit& hit) {
            if (answer.hits.size() >= cap) {
                answer.capped = true;
                return false;
            }
            answer.hits.push_back(hit);
            return true;
        },
        stop);
    answer.stopped = !whole && !answer.capped;
    return answer;
}

} // namespace pellam

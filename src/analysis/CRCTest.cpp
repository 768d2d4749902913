#include "analysis/CRCTest.h"

#include "base/AsciiCase.h"
#include "base/Cp1252.h"
#include "base/PathText.h"
#include "base/SystemError.h"
#include "logs/LogSearch.h"
#include "richtext/RtfReader.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace pellam {
namespace {

constexpr Colour kBlack {0, 0, 0};
constexpr Colour kPassGreen {0, 100, 0};
constexpr Colour kFailRed {255, 0, 0};
const std::string kSeparator(77, '-');

std::u16string Folded(std::u16string_view text)
{
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), FoldCase);
    return out;
}

bool IsHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "3A B3 1A 44" at `at`.
bool IsCrcText(std::u16string_view text, std::size_t at)
{
    if (at + 11 > text.size())
        return false;
    for (std::size_t i = 0; i < 11; ++i) {
        const char16_t c = text[at + i];
        if (i % 3 == 2 ? c != u' ' : !IsHexDigit(c))
            return false;
    }
    return true;
}

bool IsLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

// What a path is when it is no regular file.
std::string KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "no regular file";
}

// Why `name` is not a regular file of `folder`; "" when it is one.
std::string NotHeldReason(const FolderPath& folder, const std::string& name)
{
    const auto path = NameInFolder(folder, name);
    if (!path)
        return path.error() == NameRefusal::NotAName ? "not a file name of the folder"
                                                     : "a link leading out of the folder";
    struct stat own { };
    if (::lstat(path.value().c_str(), &own) != 0)
        return errno == ENOENT ? "absent" : "cannot be examined: " + SystemError::Last().text;
    if (!S_ISLNK(own.st_mode))
        return S_ISREG(own.st_mode) ? "" : KindOf(own.st_mode);
    struct stat target { };
    if (::stat(path.value().c_str(), &target) != 0)
        return "a broken link";
    return S_ISREG(target.st_mode) ? "" : "a link to " + KindOf(target.st_mode);
}

} // namespace

LoggedCrcList::LoggedCrcList(std::u16string_view logText, const std::string& caseNumber) : m_readable(true)
{
    const std::u16string marker = FromUtf8("Incident Number: " + caseNumber + " Ended.");
    const std::int32_t m = FindIgnoringCase(logText, marker, 0);
    if (m < 0)
        return;
    m_ended = true;
    m_afterOriginal = logText.substr(static_cast<std::size_t>(m));
    m_after = Folded(m_afterOriginal);
}

void LoggedCrcList::Locate(const std::vector<std::string>& names)
{
    if (!m_ended)
        return;
    // One pass of an Aho-Corasick automaton over the text finds the first
    // occurrence of every name, however many names share their endings.
    std::vector<std::u16string> needles;
    for (const auto& name : names)
        needles.push_back(Folded(FromUtf8(name)));
    struct Node {
        std::unordered_map<char16_t, int> next;
        int fail = 0;
        int output = -1; // a needle ending here
        int dictionary = -1; // the nearest node on the fail chain where a needle ends
    };
    std::vector<Node> trie(1);
    std::vector<int> sameAs(needles.size(), -1); // a needle given twice shares its first's answer
    for (std::size_t k = 0; k < needles.size(); ++k) {
        if (needles[k].empty())
            continue;
        int node = 0;
        for (char16_t c : needles[k]) {
            auto [it, added] = trie[static_cast<std::size_t>(node)].next.try_emplace(c, static_cast<int>(trie.size()));
            if (added)
                trie.emplace_back();
            node = it->second;
        }
        auto& output = trie[static_cast<std::size_t>(node)].output;
        if (output < 0)
            output = static_cast<int>(k);
        else
            sameAs[k] = output;
    }
    std::vector<int> queue {0};
    for (std::size_t q = 0; q < queue.size(); ++q) {
        const Node& parent = trie[static_cast<std::size_t>(queue[q])];
        for (const auto& [c, child] : parent.next) {
            int f = queue[q] == 0 ? 0 : parent.fail;
            while (f != 0 && !trie[static_cast<std::size_t>(f)].next.contains(c))
                f = trie[static_cast<std::size_t>(f)].fail;
            const auto it = trie[static_cast<std::size_t>(f)].next.find(c);
            Node& node = trie[static_cast<std::size_t>(child)];
            node.fail = queue[q] != 0 && it != trie[static_cast<std::size_t>(f)].next.end() ? it->second : 0;
            const Node& fail = trie[static_cast<std::size_t>(node.fail)];
            node.dictionary = fail.output >= 0 ? node.fail : fail.dictionary;
            queue.push_back(child);
        }
    }
    std::vector<std::optional<std::size_t>> found(needles.size());
    int node = 0;
    for (std::size_t i = 0; i < m_after.size(); ++i) {
        const char16_t c = m_after[i];
        while (node != 0 && !trie[static_cast<std::size_t>(node)].next.contains(c))
            node = trie[static_cast<std::size_t>(node)].fail;
        const auto it = trie[static_cast<std::size_t>(node)].next.find(c);
        node = it == trie[static_cast<std::size_t>(node)].next.end() ? 0 : it->second;
        for (int hit = trie[static_cast<std::size_t>(node)].output >= 0
                 ? node
                 : trie[static_cast<std::size_t>(node)].dictionary;
             hit >= 0; hit = trie[static_cast<std::size_t>(hit)].dictionary) {
            auto& first = found[static_cast<std::size_t>(trie[static_cast<std::size_t>(hit)].output)];
            if (!first)
                first = i + 1;
        }
    }
    for (std::size_t k = 0; k < needles.size(); ++k)
        m_located[names[k]] = sameAs[k] >= 0 ? found[static_cast<std::size_t>(sameAs[k])] : found[k];
}

std::vector<std::string> LoggedCrcList::ListedNames() const
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    const std::u16string_view text = m_afterOriginal;
    for (std::size_t at = 27; at + 11 <= text.size(); ++at) {
        if (!IsCrcText(text, at) || (at + 11 < text.size() && IsHexDigit(text[at + 11])) || IsHexDigit(text[at - 1]))
            continue;
        const std::size_t end = at - 27;
        const std::u16string_view gap = text.substr(end, 27);
        if (std::any_of(gap.begin(), gap.end(), IsLineBreak))
            continue;
        std::size_t begin = end;
        while (begin > 0 && !IsLineBreak(text[begin - 1]))
            --begin;
        while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
            ++begin;
        const std::string name = ToUtf8(text.substr(begin, end - begin));
        if (AsciiLower(name).ends_with(".mp3") && seen.insert(name).second)
            names.push_back(name);
        at += 10;
    }
    return names;
}

std::vector<UnheldRecording> UnheldRecordings(const std::vector<std::string>& names, const FolderPath& folder)
{
    std::vector<UnheldRecording> unheld;
    for (const auto& name : names)
        if (std::string reason = NotHeldReason(folder, name); !reason.empty())
            unheld.push_back({name, std::move(reason)});
    return unheld;
}

std::optional<Message> UnheldNotice(const std::vector<UnheldRecording>& unheld)
{
    if (unheld.empty())
        return std::nullopt;
    std::string text = unheld.size() == 1
        ? std::string("The Main Log lists 1 recording that the evidence folder does not hold as a file:")
        : "The Main Log lists " + std::to_string(unheld.size())
            + " recordings that the evidence folder does not hold as files:";
    for (const auto& [name, reason] : unheld)
        text += kLineBreak + name + ": " + reason;
    return Message {"CRC Integrity Test", text, MessageIcon::Exclamation};
}

std::optional<std::size_t> LoggedCrcList::FindName(const std::string& name) const
{
    if (const auto it = m_located.find(name); it != m_located.end())
        return it->second;
    const std::u16string needle = Folded(FromUtf8(name));
    const std::size_t at = needle.empty() ? std::u16string::npos : m_after.find(needle);
    return at == std::u16string::npos ? std::nullopt : std::optional(at + needle.size());
}

std::string LoggedCrcList::GetLoggedCRC(const std::string& name) const
{
    if (!m_readable)
        return kUnreadableCrc;
    const auto end = m_ended ? FindName(name) : std::nullopt;
    if (!end)
        return kLogError;
    // A list cut short at the end of the file gives what is there.
    const std::size_t from = std::min(*end + 27, m_afterOriginal.size());
    return ToUtf8(std::u16string_view(m_afterOriginal).substr(from, 11));
}

CRCTest::CRCTest(std::string caseNumber, std::string mainLogPath, std::vector<CrcTestRecording> recordings,
    FolderPath evidenceFolder)
    : m_caseNumber(std::move(caseNumber)), m_mainLogPath(std::move(mainLogPath)), m_mainLogShown(m_mainLogPath),
      m_recordings(std::move(recordings)),
      m_evidenceFolder(std::move(evidenceFolder))
{ }

CrcTestInput CrcTestInputOf(const IncidentModel& model)
{
    std::vector<CrcTestRecording> recordings;
    const std::size_t count
        = std::min(static_cast<std::size_t>(std::max<int>(model.MP3Count, 0)), model.MP3Table.size());
    for (std::size_t n = 0; n < count; ++n)
        recordings.push_back({model.MP3Table[n].FileName, model.MP3Table[n].CRC});
    return {model.CaseNumber, model.paths.MainLog, std::move(recordings), model.paths.Evidence, {}};
}

std::unique_ptr<CRCTest> CRCTest::Of(CrcTestInput input)
{
    auto test = std::make_unique<CRCTest>(std::move(input.caseNumber), std::move(input.mainLogPath),
        std::move(input.recordings), std::move(input.evidenceFolder));
    if (!input.mainLogShown.empty())
        test->m_mainLogShown = std::move(input.mainLogShown);
    return test;
}

bool CRCTest::CheckLoggedCRC(const std::string& name, const std::string& crc)
{
    if (m_logged.Readable() && !m_logged.Ended()) {
        m_logNotEnded = true;
        return false;
    }
    return m_logged.Readable() && m_logged.GetLoggedCRC(name) == crc;
}

std::optional<Message> CRCTest::Start()
{
    if (m_recordings.empty()) {
        m_out.Clear();
        m_out.SetFont("Tahoma");
        m_out.SetAlignment(Alignment::Center);
        m_out.Append("CRC Integrity Test", true, false, true, 14);
        m_out.Append("(No MP3 Files associated to this incident)", false, false, true, 12);
        m_out.Append(kSeparator, false, false, true, 12);
        m_out.Append("", false, false, true);
        m_out.SetAlignment(Alignment::Left);
        m_outcome = CrcTestOutcome::NoRecordings;
        // The report needs no Main Log; whether the recordings it lists
        // are gone does.
        if (m_mainLogPath != kNoMainLog)
            LoadLog();
        FindUnheld();
        return std::nullopt;
    }
    for (const auto& r : m_recordings)
        m_maxNameLength = std::max(m_maxNameLength, Utf8Length(r.FileName));
    m_out.SetFont("Tahoma");
    m_out.SetColour(kBlack);
    m_failFlags.assign(m_recordings.size(), false);
    m_progress = 0;
    if (m_mainLogPath == kNoMainLog) {
        m_outcome = CrcTestOutcome::NoMainLog;
        return Message {"Cannot Test", "ERROR!  There is no Main Log to search through!", MessageIcon::Exclamation};
    }
    LoadLog();
    std::vector<std::string> names;
    for (const auto& r : m_recordings)
        names.push_back(r.FileName);
    m_logged.Locate(names);

    m_out.Clear();
    m_out.SetAlignment(Alignment::Center);
    m_out.Append("CRC Integrity Test for Case # " + m_caseNumber, true, false, true, 14);
    m_out.Append("Scanning Main Log File located at " + m_mainLogShown, false, false, true, 12);
    m_out.Append(kSeparator, false, false, true, 12);
    m_out.Append("", false, false, true);
    m_out.SetAlignment(Alignment::Left);
    return std::nullopt;
}

bool CRCTest::Step()
{
    if (m_outcome != CrcTestOutcome::Running)
        return false;
    if (m_next >= m_recordings.size()) {
        WriteSummary();
        return false;
    }
    const std::size_t n = m_next++;
    const auto& [name, crc] = m_recordings[n];
    m_out.SetFont("Courier New");
    m_out.Append("  Comparing CRC for " + name + " - " + crc + " : ", false, false, false, 10);
    // Names are padded so that every verdict starts in the same column.
    if (const std::size_t length = Utf8Length(name); length < m_maxNameLength)
        m_out.Append(std::string(m_maxNameLength - length, ' '), false, false, false, 10);
    if (CheckLoggedCRC(name, crc)) {
        m_out.SetColour(kPassGreen);
        m_out.Append("\tCRC Matched - PASS", false, false, true, 10);
        m_out.SetColour(kBlack);
        m_failFlags[n] = false;
    } else if (m_logNotEnded) {
        WriteNotEnded();
        return false;
    } else {
        m_out.SetColour(kFailRed);
        m_out.Append("\tCRC DISCREPANCY - FAIL", true, false, true, 10);
        m_out.SetColour(kBlack);
        m_failFlags[n] = true;
    }
    m_progress = static_cast<int>(n) + 1;
    return true;
}

std::optional<Message> CRCTest::Run()
{
    if (auto message = Start())
        return message;
    while (Step()) { }
    return std::nullopt;
}

void CRCTest::LoadLog()
{
    if (const auto log = LoadRichTextFile(m_mainLogPath))
        m_logged = LoggedCrcList(log.value().PlainText(), m_caseNumber);
    else
        m_logged = LoggedCrcList();
}

void CRCTest::FindUnheld()
{
    if (!m_evidenceFolder.empty())
        m_unheld = UnheldRecordings(m_logged.ListedNames(), m_evidenceFolder);
}

void CRCTest::WriteNotEnded()
{
    m_out.Append("", false, false, true);
    m_out.Append("", false, false, true);
    m_out.SetColour(kFailRed);
    m_out.Append("         This event was not ended. Cannot continue.", true, true, true, 14);
    m_out.SetColour(kBlack);
    m_out.Append("", false, false, true);
    m_logNotEnded = false;
    m_outcome = CrcTestOutcome::NotEnded;
}

void CRCTest::WriteSummary()
{
    const auto failures = std::count(m_failFlags.begin(), m_failFlags.end(), true);
    m_out.SetFont("Tahoma");
    m_out.Append("", false, false, true);
    if (failures == 0) {
        m_out.SetAlignment(Alignment::Center);
        m_out.Append("Test Completed. No discrepancies found.", true, false, true, 12);
    } else {
        m_out.Append(failures == 1
                ? std::string("  CRC discrepancy found in the following MP3 File:")
                : "  CRC discrepancies found in the following " + std::to_string(failures) + " MP3 Files:",
            false, false, true, 12);
        for (std::size_t n = 0; n < m_recordings.size(); ++n) {
            if (!m_failFlags[n])
                continue;
            const auto& [name, crc] = m_recordings[n];
            m_out.SetFont("Courier New");
            m_out.Append("\t" + name + ": Current CRC = " + crc + ", should be " + m_logged.GetLoggedCRC(name) + ".",
                false, false, true, 11);
        }
        m_out.SetFont("Tahoma");
        m_out.SetAlignment(Alignment::Center);
        m_out.Append("", false, false, true);
        m_out.Append("Test Completed.", true, false, true, 12);
    }
    m_out.SetAlignment(Alignment::Left);
    m_progress = 0;
    FindUnheld();
    m_outcome = !m_logged.Readable() ? CrcTestOutcome::LogUnreadable
        : failures == 0              ? CrcTestOutcome::AllPassed
                                     : CrcTestOutcome::SomeFailed;
}

} // namespace pellam

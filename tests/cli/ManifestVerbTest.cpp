#include "cli/RunVerb.h"
#include "support/Fifo.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pellam::test {
namespace {

namespace fs = std::filesystem;

int CountLines(const std::string& text, const std::string& containing = {})
{
    int n = 0;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        n += text.substr(at, end - at).find(containing) != std::string::npos;
    return n;
}

// An evidence folder with names sha256sum has to escape or an XML writer has
// to quote, a Windows-1252 name, a subfolder, and links leading out of it.
struct Evidence {
    TempDir dir;
    TempDir outside;
    std::string evt = dir.write("case/55.evt", "\"Cordane\",\"55\"\r\n");
    fs::path folder = dir.path() / "case";
    static constexpr int kFiles = 7;

    Evidence()
    {
        dir.write("case/SGfg.dat", "config");
        dir.write("case/55_Rec01 caf\xE9.mp3", std::string(300000, '\x5A'));
        dir.write("case/Photo/p1.jpg", "jpeg");
        dir.write("case/Photo/deep/a&b<c>.txt", "");
        dir.write("case/back\\slash", "b");
        dir.write("case/line\nbreak\r", "l");
        fs::create_symlink(outside.write("secret.mp3", "not evidence"), folder / "link.mp3");
        fs::create_directory_symlink(outside.path(), folder / "linkdir");
    }
};

// Run in the evidence folder, sha256sum checks every line; every regular
// file is there once and nothing reached through a link.
TEST(ManifestVerb, Sha256sumAcceptsItInTheEvidenceFolder)
{
    Evidence e;
    const CliOutput r = RunVerb({"manifest", e.evt});
    ASSERT_EQ(std::tuple(r.status, r.err), std::tuple(0, ""));
    // The paths in byte order, a line with a backslash or a line break escaped as sha256sum escapes it.
    std::string paths;
    for (std::size_t at = 0, end; (end = r.out.find('\n', at)) != std::string::npos; at = end + 1) {
        const bool escaped = r.out[at] == '\\';
        const std::size_t path = at + escaped + 66; // after the digest and two blanks
        paths += (escaped ? "\\" : "") + r.out.substr(path, end - path) + "|";
    }
    EXPECT_EQ(paths,
        "55.evt|55_Rec01 caf\xE9.mp3|Photo/deep/a&b<c>.txt|Photo/p1.jpg|SGfg.dat|\\back\\\\slash|\\line\\nbreak\\r|");

    const std::string manifest = e.outside.write("manifest.sha256", r.out);
    const std::string log = e.outside.file("check.log");
    const int status = std::system(("cd " + ShellQuote(e.folder.string()) + " && sha256sum --strict -c "
        + ShellQuote(manifest) + " >" + ShellQuote(log) + " 2>&1")
                                       .c_str());
    const std::string checked = ReadAll(log);
    EXPECT_EQ(status, 0) << checked;
    EXPECT_EQ(CountLines(checked, ": OK"), Evidence::kFiles) << checked;
}

// Each fileobject's size, modification time, SHA-256 and CRC-32 against the
// file itself: stat, sha256sum and zlib, read by Python's XML parser.
TEST(ManifestVerb, DfxmlGivesEachFilesOwnValues)
{
    Evidence e;
    // A camera whose clock was never set: a nanosecond before 1970.
    const timespec times[2] = {{0, UTIME_OMIT}, {-1, 999'999'999}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (e.folder / "Photo/p1.jpg").c_str(), times, 0), 0);
    const CliOutput r = RunVerb({"manifest", e.evt, "--dfxml"});
    ASSERT_EQ(std::tuple(r.status, r.err), std::tuple(0, ""));
    EXPECT_EQ(RunVerb({"manifest", "--dfxml", e.evt}).out, r.out) << "the option before the event file";
    const std::string doc = e.outside.write("manifest.xml", r.out);
    const std::string script = e.outside.write("check.py", R"(import calendar, os, re, subprocess, sys, zlib
import xml.etree.ElementTree as ET
ns = {'d': 'http://www.forensicswiki.org/wiki/Category:Digital_Forensics_XML'}
folder, n = sys.argv[1].encode(), 0
for fo in ET.parse(sys.argv[2]).getroot().findall('d:fileobject', ns):
    el = fo.find('d:filename', ns)
    name = el.text.encode('cp1252' if el.get('encoding') == 'windows-1252' else 'utf-8')
    path = os.path.join(folder, name)
    st = os.lstat(path)
    m = re.fullmatch(r'(\d+)-(\d+)-(\d+)T(\d+):(\d+):(\d+)(?:\.(\d+))?Z', fo.find('d:mtime', ns).text)
    secs = calendar.timegm(tuple(int(x) for x in m.groups()[:6]))
    mtime = secs * 10**9 + int((m.group(7) or '').ljust(9, '0'))
    sha = subprocess.run(['sha256sum', path], capture_output=True).stdout.lstrip(b'\\')[:64].decode()
    crc = '%08x' % zlib.crc32(open(path, 'rb').read())
    digests = {h.get('type'): h.text for h in fo.findall('d:hashdigest', ns)}
    got = (int(fo.find('d:filesize', ns).text), mtime, digests.get('sha256'), digests.get('crc32'))
    want = (st.st_size, st.st_mtime_ns, sha, crc)
    if got != want:
        print(name, got, want)
    n += 1
print('checked', n)
)");
    const std::string log = e.outside.file("check.log");
    const int status = std::system(("python3 " + ShellQuote(script) + " " + ShellQuote(e.folder.string()) + " "
        + ShellQuote(doc) + " >" + ShellQuote(log) + " 2>&1")
                                       .c_str());
    EXPECT_EQ(std::tuple(status, ReadAll(log)), std::tuple(0, "checked " + std::to_string(Evidence::kFiles) + "\n"));
    EXPECT_NE(r.out.find("<filename encoding=\"windows-1252\">55_Rec01 caf\xC3\xA9.mp3</filename>"), std::string::npos);
}

// What cannot be hashed is named on stderr with the reason and gives exit 2;
// the rest is still listed. A file without read permission stops no one
// running as root, so there only the pipe stands for it.
TEST(ManifestVerb, WhatCannotBeHashedIsNamedAndExitsWith2)
{
    Evidence e;
    const std::string pipe = MakeFifo(e.dir, "case/Photo/pipe");
    const bool root = ::geteuid() == 0;
    const std::string locked = e.dir.write("case/locked.mp3", "x");
    ::chmod(locked.c_str(), 0);
    const CliOutput r = RunVerb({"manifest", e.evt});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(CountLines(r.out), Evidence::kFiles + root);
    std::string expected = "pellam-cli: " + pipe + ": not a regular file (a named pipe)\n";
    if (!root) // "Photo/pipe" comes before "locked.mp3" in byte order
        expected += "pellam-cli: " + locked + ": Permission denied\n";
    EXPECT_EQ(r.err, expected);

    EXPECT_EQ(std::tuple(RunVerb({"manifest", e.evt, "--xml"}).status, RunVerb({"manifest", "--xml", e.evt}).err),
        std::tuple(2, "pellam-cli: --xml: unknown option (the one there is: --dfxml)\n"));
    EXPECT_EQ(RunVerb({"manifest", e.dir.file("case/none.evt")}).status, 2);
    EXPECT_EQ(RunVerb({"manifest", e.dir.file("case/SGfg.dat")}).status, 2);
}

} // namespace
} // namespace pellam::test

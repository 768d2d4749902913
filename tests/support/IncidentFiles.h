#pragma once
// Texts of the files an evidence folder holds, for tests that build folders.
#include <string>

namespace pellam::test {

// SGfg.dat: twenty values, the ninth being the label of role 0.
inline std::string SysCfg(const std::string& roleLabel = "Subject")
{
    return "\"a\",\"b\",3,\"d\",\"e\",\"f\",\"g\",\"h\",\"" + roleLabel
        + "\",\"j\",\"k\",\"l\",13,14,15,16,\"q\",\"r\",\"s\",\"t\"\r\n";
}

// An event file whose subject count reads `count` followed by `pairs` name/birth-date pairs.
inline std::string EventText(const std::string& caseNumber, const std::string& count = "1", int pairs = 1,
    const std::string& attach = "/ev/Attach")
{
    std::string s = "\"Cordane\",\"7\",\"" + caseNumber
        + "\",\"0930\",\"12/5/2026\",\"Pier 9, Berth 2\"\r\na,b,c,d,e\r\n" + count + "\r\n";
    for (int i = 1; i <= pairs; ++i)
        s += "\"Name " + std::to_string(i) + "\",\"01/0" + std::to_string(i % 10) + "/1980\"\r\n";
    return s + "\"\",\"" + attach + "\",\"12/6/2026\",\"1015\"\r\n7\r\n";
}

} // namespace pellam::test

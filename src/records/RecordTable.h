#pragma once
// The persons of an incident as the records file holds them: texts indexed
// [role 0..8][person 0..100][page 0..3][field 0..10]. The header texts live at
// [0][0][0][0..10], person r of role k at [k][r][1..3][0..10], the file's
// trailer at [8][100][3][10]. The ~40,000 texts are kept on the heap.
#include <cassert>
#include <string>
#include <vector>

namespace pellam {

class RecordTable {
public:
    static constexpr int kRoles = 9;
    static constexpr int kPersons = 101;
    static constexpr int kPages = 4;
    static constexpr int kFields = 11;

    RecordTable() : m_texts(static_cast<std::size_t>(kRoles * kPersons * kPages * kFields)) { }

    static bool InRange(int role, int person, int page, int field)
    {
        return role >= 0 && role < kRoles && person >= 0 && person < kPersons && page >= 0 && page < kPages
            && field >= 0 && field < kFields;
    }

    std::string& operator()(int role, int person, int page, int field)
    {
        return m_texts[Index(role, person, page, field)];
    }
    const std::string& operator()(int role, int person, int page, int field) const
    {
        return m_texts[Index(role, person, page, field)];
    }

    // Header text i (0..10).
    std::string& Header(int i) { return (*this)(0, 0, 0, i); }
    const std::string& Header(int i) const { return (*this)(0, 0, 0, i); }

    // The trailer place of the file.
    std::string& Trailer() { return (*this)(8, 100, 3, 10); }
    const std::string& Trailer() const { return (*this)(8, 100, 3, 10); }

    // Empties every text.
    void Clear()
    {
        for (auto& t : m_texts)
            t.clear();
    }

private:
    static std::size_t Index(int role, int person, int page, int field)
    {
        assert(InRange(role, person, page, field));
        return static_cast<std::size_t>(((role * kPersons + person) * kPages + page) * kFields + field);
    }

    std::vector<std::string> m_texts;
};

} // namespace pellam

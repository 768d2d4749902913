#include "workspace/Incident.h"

#include "workspace/AttachmentFolder.h"
#include "workspace/DelimitedReader.h"

namespace pellam {
namespace {

// Reads the values in file order; the first error ends the read and names the
// value it met.
class Parser {
public:
    explicit Parser(DelimitedReader& in) : m_in(in) { }

    Result<Incident, SystemError> Run()
    {
        Incident inc;
        Skip(2);
        Text(inc.CaseNumber, "case number");
        Text(inc.StartTime, "start time");
        Text(inc.StartDate, "start date");
        Text(inc.Location, "location");
        Skip(5);
        Integer(inc.SubjectCount, "subject count");
        if (m_error.text.empty() && inc.SubjectCount > Incident::kMaxSubjects)
            m_error.text = std::to_string(inc.SubjectCount) + " subjects; at most 10 are kept";
        for (int i = 1; m_error.text.empty() && i <= inc.SubjectsRead(); ++i) {
            Text(inc.SubjectName[static_cast<std::size_t>(i)], "subject name");
            Text(inc.SubjectDOB[static_cast<std::size_t>(i)], "subject date of birth");
        }
        Skip(1);
        Text(inc.AttachPath, "attachments folder");
        Text(inc.EndDate, "end date");
        Text(inc.EndTime, "end time");
        Integer(inc.Mp3Count, "recording count");
        if (!m_error.text.empty())
            return fail(m_error);
        return inc;
    }

private:
    void Failed(ReadError e, const char* what)
    {
        m_error.text = std::string(what) + " (value " + std::to_string(m_values) + "): " + DelimitedReader::Describe(e);
    }
    void Text(std::string& into, const char* what)
    {
        if (!m_error.text.empty())
            return;
        ++m_values;
        auto v = m_in.ReadText();
        if (v)
            into = std::move(v).value();
        else
            Failed(v.error(), what);
    }
    void Integer(std::int16_t& into, const char* what)
    {
        if (!m_error.text.empty())
            return;
        ++m_values;
        auto v = m_in.ReadInt16();
        if (v)
            into = v.value();
        else
            Failed(v.error(), what);
    }
    void Skip(int n)
    {
        for (int i = 0; i < n && m_error.text.empty(); ++i) {
            ++m_values;
            if (auto v = m_in.Skip(1); !v)
                Failed(v.error(), "unused value");
        }
    }

    DelimitedReader& m_in;
    SystemError m_error; // a fault of the content: number 0
    int m_values = 0; // values asked for so far, counted from 1
};

} // namespace

Result<Incident, SystemError> ReadEventFile(const std::string& path)
{
    auto reader = DelimitedReader::OpenFile(path);
    if (!reader)
        return fail(reader.error());
    auto parsed = Parser(reader.value()).Run();
    if (!parsed)
        return parsed;
    Incident incident = std::move(parsed).value();
    incident.AttachPath = WithClosingSeparator(std::move(incident.AttachPath));
    return incident;
}

} // namespace pellam

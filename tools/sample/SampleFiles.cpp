#include "SampleFiles.h"

#include "base/Cp1252.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace pellam::sample {

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string RtfDocument(const std::vector<std::string>& lines)
{
    std::string out
        = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\r\n"
          "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    for (const auto& utf8 : lines) {
        const bool bold = utf8.rfind("**", 0) == 0;
        const std::string text = EncodeCp1252(bold ? utf8.substr(2) : utf8);
        if (bold)
            out += "\\b ";
        for (const char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == '\\' || c == '{' || c == '}') {
                out += '\\';
                out += ch;
            } else if (c >= 0x80) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\'%02x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
        if (bold)
            out += "\\b0";
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

namespace {

class BitWriter {
public:
    explicit BitWriter(std::string& out) : m_out(out) { }
    void Put(std::uint32_t bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = static_cast<std::uint8_t>((m_byte << 1) | ((bits >> i) & 1u));
            if (++m_filled == 8)
                Flush();
        }
    }
    void Finish()
    {
        while (m_filled != 0)
            Put(1, 1); // pad with ones
    }

private:
    void Flush()
    {
        m_out += static_cast<char>(m_byte);
        if (m_byte == 0xFF)
            m_out += '\0'; // byte stuffing
        m_byte = 0;
        m_filled = 0;
    }
    std::string& m_out;
    std::uint8_t m_byte = 0;
    int m_filled = 0;
};

void Marker(std::string& out, std::uint8_t code, const std::string& body)
{
    out += '\xFF';
    out += static_cast<char>(code);
    const std::size_t len = body.size() + 2;
    out += static_cast<char>((len >> 8) & 0xFF);
    out += static_cast<char>(len & 0xFF);
    out += body;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (const int v : values)
        s += static_cast<char>(v);
    return s;
}

} // namespace

std::string BlockJpeg(int width, int height, const std::function<int(int, int)>& shade)
{
    std::string out = "\xFF\xD8";
    Marker(out, 0xE0, std::string("JFIF\0", 5) + Bytes({1, 1, 0, 0, 1, 0, 1, 0, 0}));
    // Quantisation: 8 everywhere, so a block's DC coefficient is its shade - 128.
    Marker(out, 0xDB, std::string(1, '\0') + std::string(64, '\x08'));
    Marker(
        out, 0xC0, Bytes({8, (height >> 8) & 0xFF, height & 0xFF, (width >> 8) & 0xFF, width & 0xFF, 1, 1, 0x11, 0}));
    // DC table 0: sizes 0..11, each a 4-bit code equal to the size.
    std::string dc = Bytes({0x00, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int s = 0; s <= 11; ++s)
        dc += static_cast<char>(s);
    Marker(out, 0xC4, dc);
    // AC table 0: end-of-block only, the 1-bit code 0.
    Marker(out, 0xC4, Bytes({0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00}));
    Marker(out, 0xDA, Bytes({1, 1, 0x00, 0, 63, 0}));

    BitWriter bits(out);
    int previous = 0;
    for (int by = 0; by < height / 8; ++by) {
        for (int bx = 0; bx < width / 8; ++bx) {
            int v = shade(bx, by);
            v = v < 0 ? 0 : (v > 255 ? 255 : v);
            const int dcValue = v - 128;
            const int diff = dcValue - previous;
            previous = dcValue;
            int size = 0;
            for (int a = diff < 0 ? -diff : diff; a != 0; a >>= 1)
                ++size;
            bits.Put(static_cast<std::uint32_t>(size), 4);
            if (size > 0) {
                const int extra = diff < 0 ? diff + (1 << size) - 1 : diff;
                bits.Put(static_cast<std::uint32_t>(extra), size);
            }
            bits.Put(0, 1); // end of block
        }
    }
    bits.Finish();
    out += "\xFF\xD9";
    return out;
}

std::string TextPdf(const std::vector<std::string>& lines)
{
    std::string content = "BT /F1 12 Tf 72 720 Td 16 TL\n";
    for (const auto& line : lines) {
        std::string esc;
        for (const char c : line) {
            if (c == '(' || c == ')' || c == '\\')
                esc += '\\';
            esc += c;
        }
        content += "(" + esc + ") Tj T*\n";
    }
    content += "ET\n";

    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R "
        ">>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
    };
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const auto off : offsets) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%010zu 00000 n \n", off);
        pdf += buf;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace pellam::sample

// Builds the sample incident: a complete evidence folder as the incident
// system leaves it, with texts that follow its conventions exactly.
//
//   pellam-sample recordings        prints the recordings to encode, one per
//                                   line: name|artist|album|genre|title|speech
//   pellam-sample build FOLDER      writes every other file into FOLDER (which
//                                   already holds the encoded recordings) and
//                                   fixes every file's modification time
//
// The Main Log's closing list carries the CRC of each recording as found in
// FOLDER, so the integrity test passes on the sample as built.
#include "SampleFiles.h"

#include "checksums/CrcText.h"
#include "records/RecordFields.h"
#include "records/RecordWriter.h"
#include "records/clsRecord.h"

#include <cstdio>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pellam;
using namespace pellam::sample;

namespace {

const std::string kCase = "4711";
const std::string kSeparator(71, '-');

struct Note {
    const char* at; // wall-clock time of the entry
    const char* elapsed; // mm:ss into the running recording
    bool remote;
    const char* author;
    const char* text;
};

struct Recording {
    const char* name;
    const char* label; // the log's label in front of the name
    const char* started;
    const char* title;
    const char* speech;
    std::vector<Note> notes;
};

const std::vector<Recording>& Recordings()
{
    static const std::vector<Recording> list = {
        {"4711_Rec01_1433.mp3", "Recording MP3 File:", "14:33:02", "Initial contact",
            "Hello, this is Sergeant Varga with the county negotiation team. Nobody here wants anyone to get hurt. "
            "Can you tell me your name? Dale, thank you. Is everybody inside okay right now?",
            {{"14:33:05", "00:03", false, "Sgt. Ilse Varga", "Subject picked up on the third ring, calm voice."},
                {"14:33:12", "00:10", false, "Sgt. Ilse Varga", "Subject confirms his name is Dale."}}},
        {"4711_Sub01_1441.mp3", "Forced Sub Recording:", "14:41:40", "Hostage welfare",
            "Dale, I hear you. Let us talk about the people with you. Does anyone need a doctor? "
            "We can send water and food to the front door whenever you are ready. Take your time, I am not going "
            "anywhere.",
            {{"14:41:46", "00:06", false, "Sgt. Ilse Varga", "Asked about the welfare of the two hostages."},
                {"14:41:52", "00:12", true, "Lt. Omar Reyes", "Command post approves the delivery of water."}}},
        {"4711_MIC01_1450.mp3", "Recording Covert MIC File:", "14:50:15", "Covert microphone",
            "He said he just wants to talk to his brother. He keeps walking between the kitchen and the window. "
            "The two people on the couch are quiet.",
            {{"14:50:19", "00:04", false, "Det. Nina Holt", "Covert microphone active in the kitchen."}}},
        {"4711_Sub02_1502.mp3", "Started Sub Recording File", "15:02:30", "Third party call",
            "This is Tomas, Dale's brother. Dale, it is me. Please put the phone on speaker. "
            "Nobody is angry with you. Let them walk out the front door. Mom is here with me too.",
            {{"15:02:33", "00:03", false, "Sgt. Ilse Varga", "Brother Tomas joined the call from the command post."},
                {"15:02:41", "00:11", true, "Lt. Omar Reyes", "Tactical team holding positions."}}},
        {"4711_Rec02_1515.mp3", "Recording MP3 File:", "15:15:08", "Surrender",
            "Okay Dale, here is what happens next. Both of them walk out first, slowly, hands visible. "
            "Then you come out with nothing in your hands. You are doing the right thing, Dale. I will be right "
            "there.",
            {{"15:15:14", "00:06", false, "Sgt. Ilse Varga", "Hostages released through the front door."},
                {"15:15:20", "00:12", false, "Sgt. Ilse Varga", "Subject surrendered without incident."}}},
    };
    return list;
}

const char* kDate = "12/5/2026";

// Local time of 5 December 2026 at hh:mm:ss.
std::time_t At(const char* hms)
{
    std::tm t {};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 5;
    std::sscanf(hms, "%d:%d:%d", &t.tm_hour, &t.tm_min, &t.tm_sec);
    t.tm_isdst = -1;
    return std::mktime(&t);
}

void Touch(const std::string& path, std::time_t when)
{
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = when;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + path);
}

std::string Quote(const std::string& s)
{
    return "\"" + s + "\"";
}

// The incident system names the attachments folder as a folder of its own
// machine: the incident's folder there, which the evidence folder is a copy of.
void WriteEventFile(const std::string& folder)
{
    const std::string attachPath = "C:\\Cordane\\Incidents\\" + kCase + "\\";
    std::string evt;
    evt += "\"Cordane\",\"7.2\"," + Quote(kCase) + ",\"1432\"," + Quote(kDate) + ",\"1200 Harbor Street, Unit 4\"\r\n";
    evt += "\"Sgt. Ilse Varga\",\"Lt. Omar Reyes\",\"County CNT\",\"Barricade\",\"\"\r\n";
    evt += "2\r\n";
    evt += "\"Dale Orrin\",\"03/14/1971\"\r\n";
    evt += "\"Tomas Orrin\",\"07/22/1968\"\r\n";
    evt += "\"\"\r\n";
    evt += Quote(attachPath) + "\r\n";
    evt += Quote(kDate) + ",\"1758\"\r\n";
    evt += std::to_string(Recordings().size()) + "\r\n";
    WriteFile(folder + "/" + kCase + ".evt", evt);
}

void WriteConfig(const std::string& folder)
{
    WriteFile(folder + "/SGfg.dat",
        "\"County Crisis Negotiation Team\",\"Harbor District\",3,\"CNT-7\",\"Station 4\",\"\",\"\",\"\","
        "\"Subject\",\"\",\"\",\"\",0,1,1,0,\"\",\"\",\"\",\"\"\r\n");
    WriteFile(
        folder + "/SCfg.dat", "\"Family\",\"Hostage\",\"Involved\",\"Other\",\"Parent\",\"Victim\",\"Witness\"\r\n");
}

std::string Header(const Note& n)
{
    return std::string(kDate) + " " + n.at + " - (" + n.elapsed + ") "
        + (n.remote ? "Remote Notation By " : "Notation By ") + n.author + ": " + n.text;
}

void WriteMainLog(const std::string& folder)
{
    std::vector<std::string> lines = {
        "**Cordane Incident Management - Main Log",
        "Incident Number: " + kCase + " Started.",
        "Location: 1200 Harbor Street, Unit 4",
        kSeparator,
        std::string(kDate) + " 14:32:10 - Incident opened by Sgt. Ilse Varga: Barricaded subject, two persons inside.",
    };
    for (const auto& rec : Recordings()) {
        lines.push_back(kSeparator);
        lines.push_back(std::string(kDate) + " " + rec.started + " - " + rec.label + " " + rec.name);
        for (const auto& note : rec.notes) {
            lines.push_back(kSeparator);
            lines.push_back(Header(note));
        }
    }
    lines.push_back(kSeparator);
    lines.push_back(std::string(kDate) + " 17:58:00 - Incident Number: " + kCase + " Ended.");
    lines.push_back("Recordings of this incident and their 32 bit CRC values:");
    clsCRC crc;
    for (const auto& rec : Recordings()) {
        const std::string value = GetStableCRC(crc, fs::absolute(folder + "/" + rec.name).string());
        if (value == kUnknownCrc)
            throw std::runtime_error(std::string("recording missing: ") + rec.name);
        std::string gap = "   created " + std::string(kDate) + "  CRC: ";
        gap.resize(27, ' '); // the list's fixed gap between a name and its CRC
        lines.push_back(rec.name + gap + value);
    }
    lines.push_back(kSeparator);
    WriteFile(folder + "/" + kCase + "_MainLOG.doc", RtfDocument(lines));
}

void WriteOtherLogs(const std::string& folder)
{
    WriteFile(folder + "/" + kCase + "_NOCLOG.rtf",
        RtfDocument({"**NOC Communications Log - Case " + kCase, kSeparator,
            std::string(kDate) + " 14:35:00 - NOC: Phone line to the residence isolated.",
            std::string(kDate) + " 14:48:30 - NOC: Cell tower records requested for (555) 201-7730.",
            std::string(kDate) + " 15:20:05 - NOC: Line released."}));
    WriteFile(folder + "/ADCOMM.rtf",
        RtfDocument({"**ADMIN Communications Log - Case " + kCase, kSeparator,
            std::string(kDate) + " 14:40:00 - Admin: Chief notified of the barricade.",
            std::string(kDate) + " 16:10:00 - Admin: Press statement approved."}));
    WriteFile(folder + "/" + kCase + "_NPP_Rpt.rtf",
        RtfDocument({"**Negotiator Position Paper", "Case Number: " + kCase, kSeparator,
            "Subject: Dale Orrin, 55, no prior violent contacts.", "Demands: to speak with his brother Tomas.",
            "Assessment: low risk of harm to the persons inside; continue dialogue.",
            "Recommendation: third-party call under supervision, then surrender plan."}));
    WriteFile(folder + "/IntelUpload/" + kCase + "_InUpLog.rtf",
        RtfDocument({"**Intel Upload Log - Case " + kCase,
            std::string(kDate) + " 14:52:00 - Uploaded floor plan of the residence.",
            std::string(kDate) + " 15:05:00 - Uploaded vehicle registration of the subject."}));
}

// A head-and-shoulders silhouette; `tone` tells the persons apart.
std::string Portrait(int tone)
{
    return BlockJpeg(96, 128, [tone](int bx, int by) {
        const int dx = 2 * bx - 11; // block columns 0..11 around the centre line
        const bool head = by >= 3 && by <= 8 && dx * dx + (2 * by - 11) * (2 * by - 11) <= 26;
        const bool shoulders = by >= 10 && dx * dx <= 4 * (by - 6) * (by - 6);
        if (head || shoulders)
            return 60 + tone;
        return 210 - by * 3;
    });
}

void SetField(RecordTable& table, int role, int person, const std::string& name, const std::string& value)
{
    for (const auto& f : kRecordFields)
        if (name == f.Name) {
            table(role, person, f.Page, f.Field) = value;
            return;
        }
    throw std::runtime_error("no field " + name);
}

struct Person {
    int role;
    const char* first;
    const char* last;
    const char* sex;
    const char* dob;
    const char* involvement;
    const char* photo; // "" for none
};

void WriteRecords(const std::string& folder)
{
    const std::vector<Person> persons = {
        {0, "Dale", "Orrin", "M", "03/14/1971", "Barricaded in his residence after a dispute.", "4711_Subject1.jpg"},
        {1, "Tomas", "Orrin", "M", "07/22/1968", "Brother of the subject; spoke to him by phone.", ""},
        {1, "Mara", "Orrin", "F", "11/02/1974", "Former wife of the subject.", "4711_Family2.jpg"},
        {2, "Jonas", "Pell", "M", "01/30/1990", "Neighbour held in the living room.", "4711_Hostage1.jpg"},
        {2, "Ada", "Kress", "F", "09/09/1985", "Visitor held in the living room.", "4711_Hostage2.jpg"},
        {7, "Rui", "Santos", "M", "05/18/1979", "Saw the subject enter with a bag at 14:20.", ""},
        // A photo file that is not a picture, and a caller of whom only the name is known.
        {4, "Lena", "Voss", "F", "1980", "Landlady; gave the floor plan.", "4711_Other1.jpg"},
        {3, "Caller", "", "", "", "", ""},
    };
    RecordTable table;
    int counts[8] = {};
    int tone = 0;
    for (const auto& p : persons) {
        const int r = ++counts[p.role];
        SetField(table, p.role, r, "Name", p.first);
        if (!*p.last)
            continue; // nothing else is known of this person
        SetField(table, p.role, r, "IdNumber", kCase + "-" + std::to_string(p.role) + std::to_string(r));
        SetField(table, p.role, r, "NamePart2", p.last);
        SetField(table, p.role, r, "Involvement", p.involvement);
        SetField(table, p.role, r, "Sex", p.sex);
        SetField(table, p.role, r, "Race", "W");
        SetField(table, p.role, r, "DOB", p.dob);
        SetField(table, p.role, r, "Height", "5'10\"");
        SetField(table, p.role, r, "Weight", "170");
        SetField(table, p.role, r, "Hair", "BRO");
        SetField(table, p.role, r, "Eyes", "BLU");
        SetField(table, p.role, r, "Phone", "(555) 201-7730");
        SetField(table, p.role, r, "Address", "1200 Harbor Street, Unit 4");
        SetField(table, p.role, r, "City", "Port Alder");
        SetField(table, p.role, r, "State", "WA");
        SetField(table, p.role, r, "ZIP", "98001");
        SetField(table, p.role, r, "PhotoFile", p.photo);
        SetField(table, p.role, r, "PriorContacts", p.role == 0 ? "Noise complaint 2019." : "None.");
        if (p.role == 4)
            WriteFile(folder + "/Photo/" + p.photo, "not a picture\r\n");
        else if (*p.photo)
            WriteFile(folder + "/Photo/" + p.photo, Portrait(tone += 25));
    }
    for (int k = 0; k < 8; ++k)
        table.Header(k + 1) = std::to_string(counts[k]);
    table.Header(9) = "1";
    table.Header(10) = "Subject";
    clsRecord store;
    store.SetRecordPath(folder + "/" + kCase + "_Records.rmq");
    if (!RecordSave(store, table))
        throw std::runtime_error("cannot write the records file");
}

void WriteAttachments(const std::string& attachFolder)
{
    WriteFile(attachFolder + "/FloorPlan.pdf",
        TextPdf({"1200 Harbor Street, Unit 4 - floor plan notes", "Front door faces the street.",
            "Kitchen at the back, living room to the left.", "Stairs to the basement behind the kitchen."}));
    WriteFile(attachFolder + "/Residence.jpg", BlockJpeg(128, 96, [](int bx, int by) {
        const bool roof = by >= 2 && by <= 5 && bx >= 5 - by + 2 && bx <= 10 + by - 2;
        const bool walls = by >= 6 && by <= 10 && bx >= 4 && bx <= 11;
        const bool door = walls && by >= 8 && bx == 7;
        return door ? 40 : walls ? 150 : roof ? 90 : 220;
    }));
    WriteFile(attachFolder + "/WitnessStatement.txt",
        "Statement of Rui Santos, 12/5/2026\r\n"
        "At about 2:20 PM I saw my neighbour Dale carry a sports bag into his house.\r\n"
        "He looked upset and did not answer when I said hello.\r\n");
    std::string list = "3\r\n";
    list += "\"Floor plan of the residence\",\"" + std::string("Acrobat DOC") + "\",\"FloorPlan.pdf\",\"1 KB\"\r\n";
    list += "\"Photo of the residence\",\"Photo\",\"Residence.jpg\",\"1 KB\"\r\n";
    list += "\"Witness statement, typed\",\"Text DOC\",\"WitnessStatement.txt\",\"1 KB\"\r\n";
    WriteFile(attachFolder + "/ATCH.lst", list);
}

void WriteConversations(const std::string& folder)
{
    WriteFile(folder + "/TxT.dat",
        "\"1|True|Dale Orrin|(555) 201-7730\",\"2|True|Tomas Orrin|555.201.9912\"\r\n"
        "\"3|False||\",\"4|False||\"\r\n");
    WriteFile(folder + "/" + kCase + "_TextCon0.doc",
        RtfDocument({"**Text conversation with Dale Orrin", "14:36 CNT: Dale, this is Ilse. You can text me here too.",
            "14:37 Dale Orrin: i dont want to talk on the phone right now",
            "14:39 Dale Orrin: this is the house [IMG_0412.jpg]", "14:40 CNT: Thank you. Is everyone inside unhurt?",
            "14:41 Dale Orrin: yes"}));
    WriteFile(folder + "/" + kCase + "_TextCon1.doc",
        RtfDocument({"**Text conversation with Tomas Orrin",
            "14:55 Tomas Orrin: I am on my way. Here is what he told me last week [notes.txt]",
            "14:56 CNT: Thank you, Tomas. Please come to the command post on Pier Road."}));
    WriteFile(folder + "/TextFiles/IMG_0412.jpg", Portrait(100));
    WriteFile(folder + "/TextFiles/notes.txt", "Dale said he lost his job and the bank called about the house.\r\n");
}

int Build(const std::string& folderArg)
{
    const std::string folder = fs::absolute(folderArg).lexically_normal().string();
    const std::string attachFolder = folder + "/Attachments";
    WriteEventFile(folder);
    WriteConfig(folder);
    WriteMainLog(folder);
    WriteOtherLogs(folder);
    WriteRecords(folder);
    WriteAttachments(attachFolder);
    WriteConversations(folder);

    // Every file dates from the incident; a recording from its end.
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            Touch(entry.path().string(), At("17:58:30"));
    for (const auto& rec : Recordings())
        Touch(folder + "/" + rec.name, At(rec.started) + 25);
    return 0;
}

int ListRecordings()
{
    for (const auto& rec : Recordings())
        std::printf("%s|Harbor District CNT|Case %s|Speech|%s|%s\n", rec.name, kCase.c_str(), rec.title, rec.speech);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::string verb = argc > 1 ? argv[1] : "";
        if (verb == "recordings" && argc == 2)
            return ListRecordings();
        if (verb == "build" && argc == 3)
            return Build(argv[2]);
        std::fprintf(stderr, "usage: pellam-sample recordings | build FOLDER\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pellam-sample: %s\n", e.what());
        return 1;
    }
}

// pellam-cli timeline on the sample incident: every event of every lane, as
// read from the documents' plain text (pellam-cli rtf2text) and the list.
#include "RunVerb.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pellam::test {

TEST(TimelineVerb, TheSampleIncidentsWholeTimeline)
{
    // One event a line here; the verb writes them all on one.
    std::string expected = R"({"start":"2026-12-05T14:32:00","end":"2026-12-05T17:58:00","events":[
{"lane":"main","time":"2026-12-05T14:32:10","recording":null,"offset":null,"duration":null,"source":"MainLog","position":183,"text":"Incident opened by Sgt. Ilse Varga: Barricaded subject, two persons inside."},
{"lane":"recording","time":"2026-12-05T14:33:02","recording":"4711_Rec01_1433.mp3","offset":null,"duration":14,"source":"MainLog","position":354,"text":"Recording MP3 File: 4711_Rec01_1433.mp3"},
{"lane":"main","time":"2026-12-05T14:33:02","recording":null,"offset":null,"duration":null,"source":"MainLog","position":354,"text":"Recording MP3 File: 4711_Rec01_1433.mp3"},
{"lane":"main","time":"2026-12-05T14:33:05","recording":"4711_Rec01_1433.mp3","offset":3,"duration":null,"source":"MainLog","position":489,"text":"(00:03) Notation By Sgt. Ilse Varga: Subject picked up on the third ring, calm voice."},
{"lane":"main","time":"2026-12-05T14:33:12","recording":"4711_Rec01_1433.mp3","offset":10,"duration":null,"source":"MainLog","position":670,"text":"(00:10) Notation By Sgt. Ilse Varga: Subject confirms his name is Dale."},
{"lane":"noc","time":"2026-12-05T14:35:00","recording":null,"offset":null,"duration":null,"source":"NocLog","position":109,"text":"NOC: Phone line to the residence isolated."},
{"lane":"text","time":"2026-12-05T14:36:00","recording":null,"offset":null,"duration":null,"source":"4711_TextCon0.doc","position":35,"text":"CNT: Dale, this is Ilse. You can text me here too."},
{"lane":"text","time":"2026-12-05T14:37:00","recording":null,"offset":null,"duration":null,"source":"4711_TextCon0.doc","position":93,"text":"Dale Orrin: i dont want to talk on the phone right now"},
{"lane":"text","time":"2026-12-05T14:39:00","recording":null,"offset":null,"duration":null,"source":"4711_TextCon0.doc","position":155,"text":"Dale Orrin: this is the house [IMG_0412.jpg]"},
{"lane":"admin","time":"2026-12-05T14:40:00","recording":null,"offset":null,"duration":null,"source":"AdminLog","position":111,"text":"Admin: Chief notified of the barricade."},
{"lane":"text","time":"2026-12-05T14:40:00","recording":null,"offset":null,"duration":null,"source":"4711_TextCon0.doc","position":207,"text":"CNT: Thank you. Is everyone inside unhurt?"},
{"lane":"text","time":"2026-12-05T14:41:00","recording":null,"offset":null,"duration":null,"source":"4711_TextCon0.doc","position":257,"text":"Dale Orrin: yes"},
{"lane":"recording","time":"2026-12-05T14:41:40","recording":"4711_Sub01_1441.mp3","offset":null,"duration":14,"source":"MainLog","position":837,"text":"Forced Sub Recording: 4711_Sub01_1441.mp3"},
{"lane":"main","time":"2026-12-05T14:41:40","recording":null,"offset":null,"duration":null,"source":"MainLog","position":837,"text":"Forced Sub Recording: 4711_Sub01_1441.mp3"},
{"lane":"main","time":"2026-12-05T14:41:46","recording":"4711_Sub01_1441.mp3","offset":6,"duration":null,"source":"MainLog","position":974,"text":"(00:06) Notation By Sgt. Ilse Varga: Asked about the welfare of the two hostages."},
{"lane":"main","time":"2026-12-05T14:41:52","recording":"4711_Sub01_1441.mp3","offset":12,"duration":null,"source":"MainLog","position":1151,"text":"(00:12) Remote Notation By Lt. Omar Reyes: Command post approves the delivery of water."},
{"lane":"noc","time":"2026-12-05T14:48:30","recording":null,"offset":null,"duration":null,"source":"NocLog","position":174,"text":"NOC: Cell tower records requested for (555) 201-7730."},
{"lane":"recording","time":"2026-12-05T14:50:15","recording":"4711_MIC01_1450.mp3","offset":null,"duration":9,"source":"MainLog","position":1334,"text":"Recording Covert MIC File: 4711_MIC01_1450.mp3"},
{"lane":"main","time":"2026-12-05T14:50:15","recording":null,"offset":null,"duration":null,"source":"MainLog","position":1334,"text":"Recording Covert MIC File: 4711_MIC01_1450.mp3"},
{"lane":"main","time":"2026-12-05T14:50:19","recording":"4711_MIC01_1450.mp3","offset":4,"duration":null,"source":"MainLog","position":1476,"text":"(00:04) Notation By Det. Nina Holt: Covert microphone active in the kitchen."},
{"lane":"text","time":"2026-12-05T14:55:00","recording":null,"offset":null,"duration":null,"source":"4711_TextCon1.doc","position":36,"text":"Tomas Orrin: I am on my way. Here is what he told me last week [notes.txt]"},
{"lane":"text","time":"2026-12-05T14:56:00","recording":null,"offset":null,"duration":null,"source":"4711_TextCon1.doc","position":118,"text":"CNT: Thank you, Tomas. Please come to the command post on Pier Road."},
{"lane":"recording","time":"2026-12-05T15:02:30","recording":"4711_Sub02_1502.mp3","offset":null,"duration":13,"source":"MainLog","position":1648,"text":"Started Sub Recording File 4711_Sub02_1502.mp3"},
{"lane":"main","time":"2026-12-05T15:02:30","recording":null,"offset":null,"duration":null,"source":"MainLog","position":1648,"text":"Started Sub Recording File 4711_Sub02_1502.mp3"},
{"lane":"main","time":"2026-12-05T15:02:33","recording":"4711_Sub02_1502.mp3","offset":3,"duration":null,"source":"MainLog","position":1790,"text":"(00:03) Notation By Sgt. Ilse Varga: Brother Tomas joined the call from the command post."},
{"lane":"main","time":"2026-12-05T15:02:41","recording":"4711_Sub02_1502.mp3","offset":11,"duration":null,"source":"MainLog","position":1975,"text":"(00:11) Remote Notation By Lt. Omar Reyes: Tactical team holding positions."},
{"lane":"recording","time":"2026-12-05T15:15:08","recording":"4711_Rec02_1515.mp3","offset":null,"duration":15,"source":"MainLog","position":2146,"text":"Recording MP3 File: 4711_Rec02_1515.mp3"},
{"lane":"main","time":"2026-12-05T15:15:08","recording":null,"offset":null,"duration":null,"source":"MainLog","position":2146,"text":"Recording MP3 File: 4711_Rec02_1515.mp3"},
{"lane":"main","time":"2026-12-05T15:15:14","recording":"4711_Rec02_1515.mp3","offset":6,"duration":null,"source":"MainLog","position":2281,"text":"(00:06) Notation By Sgt. Ilse Varga: Hostages released through the front door."},
{"lane":"main","time":"2026-12-05T15:15:20","recording":"4711_Rec02_1515.mp3","offset":12,"duration":null,"source":"MainLog","position":2455,"text":"(00:12) Notation By Sgt. Ilse Varga: Subject surrendered without incident."},
{"lane":"noc","time":"2026-12-05T15:20:05","recording":null,"offset":null,"duration":null,"source":"NocLog","position":250,"text":"NOC: Line released."},
{"lane":"admin","time":"2026-12-05T16:10:00","recording":null,"offset":null,"duration":null,"source":"AdminLog","position":173,"text":"Admin: Press statement approved."},
{"lane":"main","time":"2026-12-05T17:58:00","recording":null,"offset":null,"duration":null,"source":"MainLog","position":2625,"text":"Incident Number: 4711 Ended.\nRecordings of this incident and their 32 bit CRC values:\n4711_Rec01_1433.mp3   created 12/5/2026  CRC: 6E FE 79 B4\n4711_Sub01_1441.mp3   created 12/5/2026  CRC: 78 74 73 D8\n4711_MIC01_1450.mp3   created 12/5/2026  CRC: 3A B3 1A 44\n4711_Sub02_1502.mp3   created 12/5/2026  CRC: 2C 0E 8E DB\n4711_Rec02_1515.mp3   created 12/5/2026  CRC: 6E 1B 8B 98"}
]})";
    expected.erase(std::remove(expected.begin(), expected.end(), '\n'), expected.end());
    const CliOutput r = RunVerb({"timeline", PELLAM_BINARY_DIR "/sample/4711/4711.evt"});
    EXPECT_EQ(std::tuple(r.status, r.out, r.err), std::tuple(0, expected + "\n", ""));
}

} // namespace pellam::test

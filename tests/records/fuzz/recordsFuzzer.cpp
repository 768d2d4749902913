// Any bytes as a records file: the loader ends, reads persons only within the
// table, and holds no more text than the file's bytes decode to.
#include "support/FuzzInput.h"
#include "records/clsRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    pellam::clsRecord records;
    records.SetRecordPath(pellam::fuzz::InputFile(data, size, "input.rmq"));
    pellam::RecordTable table;
    pellam::RoleTable roles;
    const auto load = records.RECORDLOAD(table, roles);
    Require(!load || (load->persons >= 0 && load->persons <= 8 * 100), "a person count outside the table");
    Require(!load || (load->cutAtSlot >= 0 && load->cutAtSlot <= load->slotCount), "a cut outside the counted slots");
    std::size_t bytes = 0;
    for (int role = 0; role < pellam::RecordTable::kRoles; ++role)
        for (int person = 0; person < pellam::RecordTable::kPersons; ++person)
            for (int page = 0; page < pellam::RecordTable::kPages; ++page)
                for (int field = 0; field < pellam::RecordTable::kFields; ++field)
                    bytes += table(role, person, page, field).size();
    Require(bytes <= 3 * size + pellam::clsRecord::TrailerText().size(), "texts longer than the file");
    return 0;
}

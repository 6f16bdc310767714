// Fetching 100,000 records of the entry-property table's shape (26 text columns,
// 3 numbers) through a client dataset over an in-memory provider, against the
// same fetch straight from the provider's table. Reports records per second,
// the ratio of the two rates, and the dataset's bytes of memory per record
// against the raw data size (text bytes plus 8 per number).
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/db/ClientDataSet.h"
#include "platform/db/MemoryProvider.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kPacket = 40;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

size_t HeapInUse() { return mallinfo2().uordblks; }

TFieldDefs TableDefs() {
    TFieldDefs defs;
    for (int i = 1; i <= 26; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "MB%03d", i);
        defs.Add(name, TFieldType::ftString, 40).Key = i == 1;
    }
    defs.Add("MB027", TFieldType::ftInteger);
    defs.Add("MB028", TFieldType::ftFloat);
    defs.Add("FLAG", TFieldType::ftInteger);
    return defs;
}

// Texts of 2 to 20 bytes, some in Chinese, as codes, names and flags are.
std::string Text(int row, int column) {
    static const char* const words[] = {"Y", "N", "K5", "91", "费用调整单", "摘要", "ACT-1001", "备注说明文字"};
    std::string text = words[(row + column) % 8];
    if (column == 0) text = "K" + std::to_string(row);
    if (column % 5 == 1) text += std::to_string(row % 1000);
    return text;
}

}  // namespace

int main() {
    auto table = std::make_shared<TMemoryProvider>(TableDefs());
    size_t rawBytes = 0;
    for (int r = 0; r < kRecords; ++r) {
        std::vector<Variant> row;
        for (int c = 0; c < 26; ++c) {
            row.emplace_back(Text(r, c));
            rawBytes += row.back().StringRef().size();
        }
        row.emplace_back(r % 7);
        row.emplace_back(r * 0.25);
        row.emplace_back(1);
        rawBytes += 3 * 8;
        table->AppendRow(row);
    }
    auto server = std::make_shared<TMemoryServer>();
    server->AddProvider("pvdMain", table);
    const Variant remote(std::static_pointer_cast<IDispatch>(server));

    // Baseline: the packets straight from the table.
    auto start = Clock::now();
    size_t baselineRows = 0;
    for (int position = 0;;) {
        const Variant packet = table->GetRecords(kPacket, position, Variant());
        const int n = packet[1].Count(1);
        baselineRows += static_cast<size_t>(n);
        position += n;
        if (packet[2].AsBoolean()) break;
    }
    const double baselineSeconds = Seconds(start);

    TComponent owner(nullptr);
    auto* ds = new TClientDataSet(&owner);
    ds->SetRemoteServer(remote);
    ds->SetProviderName("pvdMain");
    ds->SetPacketRecords(kPacket);
    const size_t heapBefore = HeapInUse();
    start = Clock::now();
    ds->Open();
    const double firstPacketSeconds = Seconds(start);
    ds->Last();   // fetches every remaining packet
    const double fetchSeconds = Seconds(start);
    const size_t heapAfter = HeapInUse();
    if (ds->RecordCount() != kRecords || baselineRows != kRecords) {
        std::fprintf(stderr, "fetched %d and %zu records, expected %d\n", ds->RecordCount(), baselineRows, kRecords);
        return 1;
    }

    const double baselineRate = kRecords / baselineSeconds;
    const double fetchRate = kRecords / fetchSeconds;
    const double bytesPerRecord = static_cast<double>(heapAfter - heapBefore) / kRecords;
    const double rawPerRecord = static_cast<double>(rawBytes) / kRecords;
    std::printf("records: %d, packet: %d\n", kRecords, kPacket);
    std::printf("first packet:        %.3f ms\n", firstPacketSeconds * 1000);
    std::printf("fetch all (dataset): %.3f s, %.0f records/s\n", fetchSeconds, fetchRate);
    std::printf("fetch all (table):   %.3f s, %.0f records/s\n", baselineSeconds, baselineRate);
    std::printf("rate ratio:          %.2f (target at least 0.5)\n", fetchRate / baselineRate);
    std::printf("memory per record:   %.0f bytes, raw data %.0f bytes, ratio %.2f (target at most 2)\n",
                bytesPerRecord, rawPerRecord, bytesPerRecord / rawPerRecord);
    return 0;
}

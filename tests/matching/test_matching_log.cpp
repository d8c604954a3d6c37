// The matching log's containers, timers and the value of a result that is not there.
#include "Matching/MatchingLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(MatchingLog, LaterPointFirstLeavesEmptyEntriesInFront) {
    CMatchingLog log;
    const std::vector<float> map = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
    log.AddResult(12, 3, 0.93, 1.5, 2.5, 4, 5, 4.25, 5.75, 3, 2, map.data());
    ASSERT_EQ(log.GetResultFrameCount(), 1);
    EXPECT_EQ(log.GetResultCount(0), 3);
    ResultFrame* f = log.FindResultFrame(12);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(log.FindResultFrame(13), nullptr);
    EXPECT_TRUE(log.HasResult(f, 1));
    EXPECT_FALSE(log.HasResult(f, 4));
    EXPECT_FALSE(log.HasResult(f, 0));
    const ResultEntry& empty = *f->entries[0];
    EXPECT_EQ(empty.score, 0.0);
    EXPECT_EQ(empty.mapWidth, 0);
    EXPECT_TRUE(empty.map.empty());
    EXPECT_EQ(empty.searchArea, nullptr);

    int frame = 0;
    double vx = 0;
    double vy = 0;
    int px = 0;
    int py = 0;
    double sx = 0;
    double sy = 0;
    EXPECT_EQ(log.GetResult(0, 3, &frame, &vx, &vy, &px, &py, &sx, &sy), 0.93);
    EXPECT_EQ(frame, 12);
    EXPECT_EQ(vx, 1.5);
    EXPECT_EQ(vy, 2.5);
    EXPECT_EQ(px, 4);
    EXPECT_EQ(py, 5);
    EXPECT_EQ(sx, 4.25);
    EXPECT_EQ(sy, 5.75);
    EXPECT_EQ(f->entries[2]->map, map);
}

TEST(MatchingLog, SecondResultReplacesTheFirstWithItsMap) {
    CMatchingLog log;
    const std::vector<float> first = {1, 2, 3, 4};
    const std::vector<float> second = {9, 8};
    log.AddResult(5, 1, 0.5, 0, 0, 1, 1, 1, 1, 2, 2, first.data());
    log.AddResult(5, 1, 0.7, 0, 0, 0, 1, 0, 1, 1, 2, second.data());
    ASSERT_EQ(log.GetResultFrameCount(), 1);
    ASSERT_EQ(log.GetResultCount(0), 1);
    const ResultEntry& e = *log.FindResultFrame(5)->entries[0];
    EXPECT_EQ(e.score, 0.7);
    EXPECT_EQ(e.mapWidth, 1);
    EXPECT_EQ(e.map, second);
    log.AddResult(6, 2, 0.1, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(log.GetResultFrameCount(), 2);
    EXPECT_TRUE(log.FindResultFrame(6)->entries[1]->map.empty());
}

TEST(MatchingLog, SearchAreaIsCopiedWithItsCorner) {
    CMatchingLog log;
    std::vector<unsigned char> pixels = {1, 2, 3, 4, 5, 6};
    log.AddSearchArea(7, 2, pixels.data(), 3, 2, 40, 50);
    pixels[0] = 99;
    ResultFrame* f = log.FindResultFrame(7);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(log.GetResultCount(0), 2);
    const MatchingImage* area = f->entries[1]->searchArea.get();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->GetFirst(), 40);
    EXPECT_EQ(area->GetSecond(), 50);
    EXPECT_EQ(area->GetBits()[0], 1);
    // The result then fills the same entry and keeps the area.
    log.AddResult(7, 2, 0.8, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    EXPECT_NE(f->entries[1]->searchArea, nullptr);
    EXPECT_EQ(f->entries[1]->score, 0.8);
}

TEST(MatchingLog, OutOfRangeReadsGiveMinus999AndLeaveOutputsAlone) {
    CMatchingLog log;
    int frame = -5;
    double vx = -5;
    double vy = -5;
    int px = -5;
    int py = -5;
    double sx = -5;
    double sy = -5;
    EXPECT_EQ(log.GetResult(0, 1, &frame, &vx, &vy, &px, &py, &sx, &sy), -999.0);
    log.AddResult(1, 2, 0.5, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(log.GetResult(1, 1, &frame, &vx, &vy, &px, &py, &sx, &sy), -999.0);
    EXPECT_EQ(log.GetResult(-1, 1, &frame, &vx, &vy, &px, &py, &sx, &sy), -999.0);
    EXPECT_EQ(log.GetResult(0, 3, &frame, &vx, &vy, &px, &py, &sx, &sy), -999.0);
    EXPECT_EQ(log.GetResult(0, 0, &frame, &vx, &vy, &px, &py, &sx, &sy), -999.0);
    EXPECT_EQ(frame, -5);
    EXPECT_EQ(sy, -5);
    EXPECT_EQ(log.GetResultCount(3), 0);
    // The empty entry in front of point 2 reads as a score of 0.0.
    EXPECT_EQ(log.GetResult(0, 1, &frame, &vx, &vy, &px, &py, &sx, &sy), 0.0);
    EXPECT_EQ(frame, 1);
}

TEST(MatchingLog, PredictionsAndTimers) {
    CMatchingLog log;
    ASSERT_NE(log.GetPredictions(), nullptr);
    EXPECT_EQ(log.GetPredictions()->GetScale(), 1.0);
    auto* record = new FrameRecord(4, 2);
    log.GetPredictions()->Add(record);
    record->GetEntry(1)->state = PointEntry::kFound;
    record->GetEntry(1)->x = 17;
    EXPECT_EQ(log.GetPredictions()->Count(), 1);
    EXPECT_EQ(log.GetPredictions()->Get(0)->GetEntry(0)->state, PointEntry::kNoPosition);

    StepTimerList* timers = log.GetTimers();
    ASSERT_NE(timers, nullptr);
    for (int i = 0; i < 18; ++i) {
        timers->Add(std::make_unique<StepTimer>());
    }
    StepTimer* t = timers->Get(7);
    t->label.text = "テンプレートの切り出し、学習";
    t->time += 12;
    t->count += 1;
    t->time += 3;
    t->count += 1;
    EXPECT_EQ(timers->Count(), 18);
    EXPECT_EQ(timers->Get(7)->time, 15u);
    EXPECT_EQ(timers->Get(7)->count, 2);
    EXPECT_EQ(timers->Get(18), nullptr);
    EXPECT_EQ(t->label.GetSize(), t->label.text.size());
    // A list is 4 bytes plus its members.
    std::uint32_t members = 0;
    for (int i = 0; i < 18; ++i) {
        members += timers->Get(i)->GetSize();
    }
    EXPECT_EQ(timers->GetSize(), 4 + members);
}

TEST(MatchingLog, RecordsSurviveTheirBinaryForm) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "kivic_matching_log_test.bin").string();
    ResultFrameList results;
    auto* frame = results.Add(std::make_unique<ResultFrame>(33));
    const std::vector<float> map = {0.25f, -1.0f, 0.5f};
    frame->EntryFor(2).score = 0.75;
    frame->EntryFor(2).SetMap(map.data(), 3, 1);
    frame->EntryFor(2).peakY = -4;
    const std::vector<unsigned char> pixels = {9, 8, 7, 6};
    frame->EntryFor(2).searchArea = std::make_unique<MatchingImage>(pixels.data(), 2, 2, 11, 12, 1, 8);
    StepTimerList timers;
    timers.Add(std::make_unique<StepTimer>("Frame-Start"))->time = 40;
    {
        MAFile file;
        ASSERT_EQ(file.Open(path.c_str(), MAFile::kModeCreate), 0);
        ASSERT_EQ(results.Write(file), 0);
        ASSERT_EQ(timers.Write(file), 0);
        file.Close();
    }
    EXPECT_EQ(std::filesystem::file_size(path), results.GetSize() + timers.GetSize());
    EXPECT_EQ(timers.GetSize(), 4u + 12 + 11 + 8);
    ResultFrameList resultsBack;
    StepTimerList timersBack;
    {
        MAFile file;
        ASSERT_EQ(file.Open(path.c_str(), MAFile::kModeRead), 0);
        ASSERT_EQ(resultsBack.Read(file), 0);
        ASSERT_EQ(timersBack.Read(file), 0);
        file.Close();
    }
    ASSERT_EQ(resultsBack.Count(), 1);
    const ResultFrame* back = resultsBack.Get(0);
    EXPECT_EQ(back->frameNumber, 33);
    ASSERT_EQ(back->entries.size(), 2u);
    EXPECT_EQ(back->entries[1]->score, 0.75);
    EXPECT_EQ(back->entries[1]->map, map);
    EXPECT_EQ(back->entries[1]->peakY, -4);
    ASSERT_NE(back->entries[1]->searchArea, nullptr);
    EXPECT_EQ(back->entries[1]->searchArea->GetSecond(), 12);
    EXPECT_EQ(back->entries[1]->searchArea->GetBits()[3], 6);
    EXPECT_EQ(back->entries[0]->searchArea, nullptr);
    EXPECT_EQ(timersBack.Get(0)->label.text, "Frame-Start");
    EXPECT_EQ(timersBack.Get(0)->time, 40u);

    // A damaged count is refused instead of trusted.
    {
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        const unsigned char huge[4] = {0xFF, 0xFF, 0xFF, 0x7F};
        std::fwrite(huge, 1, 4, f);
        std::fclose(f);
        MAFile file;
        ASSERT_EQ(file.Open(path.c_str(), MAFile::kModeRead), 0);
        ResultFrameList damaged;
        EXPECT_EQ(damaged.Read(file), -1);
        file.Close();
    }
    std::filesystem::remove(path);
}

} // namespace

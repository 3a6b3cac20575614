// The point and face lists: order, cursors, colours, labels and vertex numbers, also when
// records cross or outgrow the arena's chunks and when memory is reused after Clear.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scan/allocation.h"
#include "translate/face_list.h"
#include "translate/point_list.h"

namespace tsm2ostra {
namespace {

// Heap memory whose fail_at-th allocation fails (none for 0), counting every attempt.
struct CountingHeap {
  uint64_t attempts = 0;
  uint64_t fail_at = 0;
  Allocator allocator{Allocate, nullptr, Release, this};
  static void* Allocate(void* context, size_t size) {
    CountingHeap* heap = static_cast<CountingHeap*>(context);
    return ++heap->attempts == heap->fail_at ? nullptr : ::operator new(size);
  }
  static void Release(void*, void* memory) { ::operator delete(memory); }
};

// Fills a list with n points; every third has a label whose length grows with its index, so
// records of many sizes (some larger than a chunk) follow each other.
void FillPoints(PointList* list, int n) {
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE(list->Append(i, -i, 0, 0, 0));
    if (i % 3 == 0) {
      ASSERT_TRUE(list->SetLastLabel(std::string(i * 37 % 70000, 'a' + i % 26)));
    }
  }
}

void ExpectPoints(PointList* list, int n) {
  int i = 0;
  for (const PointEntry* p = list->Rewind(); p != nullptr; p = list->Advance(), ++i) {
    ASSERT_LT(i, n);
    EXPECT_EQ(p->x, i);
    EXPECT_EQ(p->y, -i);
    EXPECT_EQ(p->has_label(), i % 3 == 0);
    if (i % 3 == 0) {
      EXPECT_EQ(p->label(), std::string(i * 37 % 70000, 'a' + i % 26));
    }
  }
  EXPECT_EQ(i, n);
}

TEST(PointList, KeepsReadingOrderAcrossChunksAndAfterClear) {
  Allocator heap;
  PointList list(&heap);
  EXPECT_EQ(list.Rewind(), nullptr);
  EXPECT_EQ(list.Advance(), nullptr);  // no cursor: stays none
  FillPoints(&list, 3000);
  ExpectPoints(&list, 3000);
  list.Clear();
  EXPECT_EQ(list.Rewind(), nullptr);
  FillPoints(&list, 700);  // on the kept chunks
  ExpectPoints(&list, 700);
}

TEST(PointList, AFailedChunkOfAnySizeLeavesTheListAsItWas) {
  // Enough points for chunks from the first small one to the large ones; each allocation
  // fails in turn, and the points before it stay.
  constexpr int kPoints = 400000;
  CountingHeap counting;
  {
    PointList list(&counting.allocator);
    for (int i = 0; i < kPoints; ++i) ASSERT_TRUE(list.Append(i, 0, 0, 0, 0));
  }
  const uint64_t chunks = counting.attempts;
  ASSERT_GT(chunks, 6u);
  for (uint64_t k = 1; k <= chunks; ++k) {
    CountingHeap failing;
    failing.fail_at = k;
    PointList list(&failing.allocator);
    int appended = 0;
    while (appended < kPoints && list.Append(appended, 0, 0, 0, 0)) ++appended;
    EXPECT_LT(appended, kPoints);
    int walked = 0;
    for (const PointEntry* p = list.Rewind(); p != nullptr; p = list.Advance()) ++walked;
    EXPECT_EQ(walked, appended);
  }
}

TEST(PointList, ColoursTheCursorsPointAndIgnoresColoursWithoutOne) {
  Allocator heap;
  PointList list(&heap);
  list.SetCurrentColor(1, 2, 3);  // no cursor yet
  ASSERT_TRUE(list.Append(0, 0, 0, 0, 0));
  ASSERT_TRUE(list.Append(1, 1, 0, 0, 0));
  ASSERT_TRUE(list.SetLastLabel(""));
  list.Rewind();
  list.Advance();
  list.SetCurrentColor(255, 0, 7);
  list.Advance();
  list.SetCurrentColor(9, 9, 9);  // past the last point
  PointList::Position at;
  const PointEntry* first = list.First(&at);
  EXPECT_FALSE(first->has_color());
  EXPECT_FALSE(first->has_label());
  const PointEntry* second = list.Next(&at);
  EXPECT_EQ(second->r, 255);
  EXPECT_EQ(second->b, 7);
  EXPECT_TRUE(second->has_label());  // an empty label is still a label
  EXPECT_EQ(second->label(), "");
  EXPECT_EQ(list.Next(&at), nullptr);
}

TEST(FaceList, KeepsLabelsAndVertexNumbersWhenARecordMoves) {
  Allocator heap;
  FaceList list(&heap);
  // Small faces fill most of a chunk; then one face grows past the chunk's end and moves.
  for (int f = 0; f < 2000; ++f) {
    ASSERT_TRUE(list.Append());
    if (f % 2 == 0) {
      ASSERT_TRUE(list.SetLastLabel(std::string(f % 7, 'x')));
    }
    for (int v = 0; v < 3; ++v) ASSERT_TRUE(list.AppendVertex(f + v));
  }
  ASSERT_TRUE(list.Append());
  ASSERT_TRUE(list.SetLastLabel("big"));
  for (int v = 0; v < 50000; ++v) ASSERT_TRUE(list.AppendVertex(-v));
  ASSERT_TRUE(list.Append());  // an empty face after it

  int f = 0;
  for (const FaceEntry* face = list.Rewind(); face != nullptr; face = list.Advance(), ++f) {
    if (f < 2000) {
      ASSERT_EQ(face->vertex_count, 3u);
      EXPECT_EQ(face->vertices()[2], f + 2);
      EXPECT_EQ(face->has_label(), f % 2 == 0);
      if (f % 2 == 0) {
        EXPECT_EQ(face->label(), std::string(f % 7, 'x'));
      }
    } else if (f == 2000) {
      EXPECT_EQ(face->label(), "big");
      ASSERT_EQ(face->vertex_count, 50000u);
      EXPECT_EQ(face->vertices()[0], 0);
      EXPECT_EQ(face->vertices()[49999], -49999);
    } else {
      EXPECT_EQ(face->vertex_count, 0u);
      EXPECT_FALSE(face->has_label());
    }
  }
  EXPECT_EQ(f, 2002);
}

TEST(FaceList, ColoursFollowTheCursor) {
  Allocator heap;
  FaceList list(&heap);
  for (int f = 0; f < 3; ++f) ASSERT_TRUE(list.Append());
  list.Rewind();
  list.Advance();
  list.SetCurrentColor(4, 5, 6);
  std::vector<int> reds;
  for (const FaceEntry* face = list.Rewind(); face != nullptr; face = list.Advance()) {
    reds.push_back(face->r);
  }
  EXPECT_EQ(reds, (std::vector<int>{0, 4, 0}));
}

}  // namespace
}  // namespace tsm2ostra

// SPDX-License-Identifier: GPL-3.0-or-later
// Where keys and digests live: the locked area while it has room, the heap after, and nowhere once their
// run is over.
#include "engine/Secret.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using engine::Secret;
using testsupport::sampleBytes;

// Takes every free slot of the area and gives them back: how many there were.
std::size_t freeSlots() {
    platform::LockedArea* area = engine::secretArea();
    std::vector<void*> taken;
    while (void* slot = area->acquire()) {
        taken.push_back(slot);
    }
    for (void* slot : taken) {
        area->release(slot);
    }
    return taken.size();
}

TEST(SecretTest, KeysGoToTheAreaWhileItHasRoomAndToTheHeapAfterKeepingTheirValue) {
    ASSERT_NE(engine::secretArea(), nullptr);
    const std::size_t slots = engine::secretArea()->slotCount();
    ASSERT_EQ(freeSlots(), slots);

    std::vector<std::unique_ptr<Secret<twofish::keyInstance>>> keys;
    for (std::size_t i = 0; i < slots + 3; ++i) {
        auto key = enginetest::keyFor(u"secret", twofish::DIR_ENCRYPT);
        key.subKeys[0] = static_cast<uint32_t>(i);
        keys.push_back(std::make_unique<Secret<twofish::keyInstance>>(key));
        EXPECT_EQ(keys.back()->isInArea(), i < slots) << i;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i]->get().subKeys[0], static_cast<uint32_t>(i));
    }
    keys.clear();
    EXPECT_EQ(freeSlots(), slots);

    const Secret<uint8_t[32]> digest;
    for (const uint8_t byte : digest.get()) {
        EXPECT_EQ(byte, 0);
    }
}

class SecretRunTest : public enginetest::OperationTest {};

// Batched small files and large files alone: however many operations a run queues, it holds one shared
// key, a working copy only while a file is transformed, and nothing once it has ended.
TEST_F(SecretRunTest, ARunOfManyFilesGivesBackEverySlot) {
    engine::Cryptor cryptor;
    for (int i = 0; i < 40; ++i) {
        const auto length = i < 2 ? std::size_t{300} << 10 : std::size_t{100} + i;
        cryptor.addURLs({m_dir.writeFile("f" + std::to_string(i), sampleBytes(length, i))});
    }
    ASSERT_EQ(cryptor.encryptFilesUsingPassPhrase(u"secret"), std::nullopt);
    cryptor.waitUntilAllOperationsAreFinished();
    for (uint64_t row = 0; row < cryptor.urlCount(); ++row) {
        EXPECT_EQ(cryptor.statusOnRow(static_cast<int64_t>(row)), engine::StatusDone);
    }
    EXPECT_EQ(freeSlots(), engine::secretArea()->slotCount());
}

} // namespace

// AddTopic in result scripts follows the topic's German name: the plugin's own topics first,
// then the shipped topic names, then the external database; letter case does not matter.
#include "save/TopicReferencePass.h"

#include <gtest/gtest.h>

#include "DialogueRecords.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;
using fixtures::store_of;

Bytes info(std::string_view script) {
    return test::info("1", "Hi", script);
}

TEST(TopicReferences, AddTopicTakesTheNameTheSaveWritesAndEveryOtherByteStays) {
    // Block 1: a topic the loader already gave its database name; block 2: one renamed by hand.
    BlockStore store = store_of({test::topic("Fu-Ort"), test::topic("rumours")});
    ObjectLists lists;
    lists.append(kTopicType, {mark::kShipped, "Foo Place", "Foo Place", "Fu-Ort", 1});
    lists.append(kTopicType, {mark::kEdited, "rumours", "rumours", "Geruechte", 2});
    lists.append(kTopicType, {mark::kNone, "plain", "plain", "plain", 0});
    lists.append(kTopicType, {mark::kEdited, "emptied", "emptied", "", 0});
    const Bytes shipped = encode_pair_file({{"Base Topic", "Grundthema"}, {"plain", "Falsch"}});
    const Bytes external =
        encode_pair_file({{"Base Topic", "Zu spaet"}, {"user topic", "Nutzerthema"}});
    const TopicNameTable names(store, lists, shipped, external);

    const struct {
        std::string_view script;
        std::string_view expected;
        int changed;
    } cases[] = {
        {"AddTopic \"foo place\"\r\nAddTopic Rumours", "AddTopic \"Fu-Ort\"\r\nAddTopic Geruechte",
         2},
        {"addtopic \"base topic\" ; Base Topic", "addtopic \"Grundthema\" ; Base Topic", 1},
        {"AddTopic \"USER TOPIC\"", "AddTopic \"Nutzerthema\"", 1},
        // The plugin's untranslated topic is itself, whatever the database says of the name.
        {"AddTopic plain", "AddTopic plain", 0},
        // An emptied German name names no topic: the reference keeps the name it has.
        {"AddTopic emptied", "AddTopic emptied", 0},
        // Not a topic argument: untouched.
        {"Journal \"rumours\" 10\nChoice \"Foo Place\" 1",
         "Journal \"rumours\" 10\nChoice \"Foo Place\" 1", 0},
        {"AddTopic \"rumours", "AddTopic \"rumours", 0},
    };
    for (const auto& c : cases) {
        BlockStore scripts = store_of({info(c.script)});
        EXPECT_EQ(translate_topic_references(scripts, names), c.changed) << c.script;
        EXPECT_EQ(scripts.block(1), info(c.expected)) << c.script;
    }
    // Only responses carry result scripts; a BNAM of another record is no script.
    const Bytes other = RecordBuilder("DIAL").raw("BNAM", "AddTopic rumours").bytes();
    BlockStore others = store_of({other});
    EXPECT_EQ(translate_topic_references(others, names), 0);
    EXPECT_EQ(others.block(1), other);
    // The name the record holds now leads to the new name too.
    EXPECT_EQ(names.translation("FU-ORT"), "Fu-Ort");
}

TEST(TopicReferences, ALargePluginHasEveryResponseTranslatedAndCounted) {
    // Enough blocks that the pass splits them between two threads: every response in
    // either half is translated, the others keep every byte, and the count spans both.
    const ObjectLists lists;
    const TopicNameTable names(store_of({}), lists, encode_pair_file({{"Base", "Grund"}}), {});
    std::vector<Bytes> records;
    for (int i = 0; i < 5000; ++i) {
        records.push_back(info(i % 2 == 0 ? "AddTopic Base" : "AddTopic Other"));
    }
    BlockStore store = store_of(records);
    EXPECT_EQ(translate_topic_references(store, names), 2500);
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        ASSERT_EQ(store.block(number), info(number % 2 == 1 ? "AddTopic Grund" : "AddTopic Other"))
            << number;
    }
}

} // namespace
} // namespace orv

// The full-size generated database through the program's reader: written,
// loaded, every hit parade loaded on demand, every name looked up, a list of
// all names sorted, and everything given back; a second build gives the same
// file. Under the sanitizer build this
// is the run that must report no leak and no error.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "BinFile.h"
#include "DataBase.h"
#include "Fakes.h"
#include "FullSizeDb.h"
#include "ResultSet.h"

using namespace DataBase;

TEST(FullSizeDatabase, LoadsIsUsedAndIsGivenBackWhole) {
    const gendb::FullSizeStats stats = gendb::BuildFullSizeDb();
    const std::string path = testing::TempDir() + "fullsize_" + std::to_string(getpid()) + ".bin";
    ASSERT_TRUE(WriteBinFile(path).ok);
    InitDataBase();
    DbStatus st = ReadBinFile(path);
    ASSERT_TRUE(st.ok) << st.detail;
    EXPECT_EQ(numAtoms, stats.atoms);
    EXPECT_EQ(numProps, stats.fileProps);

    int hitParades = 0, blockProps = 0;
    for (atom* a : atomTab) {
        if (!a->LoadedOnDemand()) continue;
        const int listed = a->NumProp();
        EXPECT_TRUE(a->LoadOnDemand()) << a->name();
        ++hitParades;
        blockProps += a->NumProp() - listed;
    }
    EXPECT_EQ(hitParades, stats.hitParades);
    EXPECT_EQ(blockProps, stats.blockProps);

    ResultSet all;
    for (int32_t i = 0; i < numStrings; ++i) {
        atom* a = GetAtom(std::string(stringTab[static_cast<size_t>(i)]));
        ASSERT_EQ(a->id(), idTab[static_cast<size_t>(i)]);
        if (a->isName()) all.AddResult(a->Text(), std::string(a->Uppercase()), a);
    }
    all.Sort(1);
    for (int32_t i = 1; i < all.numLines(); ++i)
        ASSERT_LE(DataBase::CompareText(all.line(i - 1), all.line(i)), 0) << i;
    {
        ASSERT_TRUE(ReadBinFile(path).ok);
        // Read through a window many records long, with records across
        // each of its ends: written back, the same bytes.
        const std::string again = path + ".again";
        ASSERT_TRUE(WriteBinFile(again).ok);
        auto bytes = [](const std::string& p) {
            std::FILE* f = std::fopen(p.c_str(), "rb");
            std::string s;
            for (int c; f && (c = std::fgetc(f)) != EOF;) s.push_back(static_cast<char>(c));
            if (f) std::fclose(f);
            return s;
        };
        const std::string written = bytes(path);
        EXPECT_GT(written.size(), 4u << 20);
        EXPECT_TRUE(written == bytes(again));
        std::remove(again.c_str());
        // Built again in the same run, on memory the first database has used
        // (as gendb builds its second file): the same bytes.
        gendb::BuildFullSizeDb();
        const std::string second = path + ".second";
        ASSERT_TRUE(WriteBinFile(second).ok);
        EXPECT_TRUE(written == bytes(second));
        std::remove(second.c_str());
    }
    EXPECT_TRUE(Fakes().TakeAsserts().empty());

    InitDataBase();
    std::remove(path.c_str());
    EXPECT_EQ(numAtoms + numProps + numStrings, 0);
}

// Another program writing the file while a full-size file loads mapped: its
// open breaks the lease, the process copies the pages, and the load goes on
// from the copy as the file was, through the pages the reader gives back as
// it passes them (given back, a copied page would read as zeros).
TEST(FullSizeDatabase, AWriteDuringTheMappedLoadLeavesTheFileAsItWas) {
    gendb::BuildFullSizeDb();
    const std::string path = testing::TempDir() + "fullsize_break_" + std::to_string(getpid()) + ".bin";
    ASSERT_TRUE(WriteBinFile(path).ok);
    // What the load made of the file, its blocks left in it.
    auto loaded = [] {
        std::string all;
        for (const atom* a : atomTab) {
            all.append(a->name()).append(a->Soundex()).append(a->Uppercase()).push_back('\n');
            for (const Prop* p : a->props()) all.append(p->proper()->name()).append(p->strVal()).push_back('\n');
        }
        return all;
    };
    InitDataBase();
    ASSERT_TRUE(ReadBinFile(path).ok);
    const std::string before = loaded();
    struct Writer : LoadObserver {
        std::string path;
        void Start(double) override {
            // Its open waits until the lease is given up: the copy is made.
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::alarm(5);
                const int fd = ::open(path.c_str(), O_WRONLY);
                std::_Exit(fd >= 0 && ::pwrite(fd, "\xFF\xFF\xFF\xFF", 4, 1 << 20) == 4 ? 0 : 1);
            }
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
    } writer;
    writer.path = path;
    InitDataBase();
    const DbStatus st = ReadBinFile(path, &writer);
    ASSERT_TRUE(st.ok) << st.detail;
    EXPECT_TRUE(loaded() == before);
    InitDataBase();
    std::remove(path.c_str());
}

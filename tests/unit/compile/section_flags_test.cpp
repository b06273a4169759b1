// The section statement on PE32 and PE32+ images, through the interpreter.
#include "compile/section_flags.h"
#include "pe_image.h"
#include "script_fixture.h"

namespace stx::test {

namespace {

class PeSections : public ScriptFixture {
  protected:
    std::vector<std::uint8_t> Program() { return host.Find("C:\\Work\\prog.exe")->bytes; }
    void Put(const std::vector<std::uint8_t>& bytes, std::uint32_t attributes = kAttributeArchive) {
        host.AddFile("C:\\Work\\prog.exe", std::string(bytes.begin(), bytes.end()), attributes);
    }
};

TEST_F(PeSections, StatementFormsOnBothImageKinds) {
    struct Case {
        const char* statement;
        std::uint32_t text, rdata, data;
    };
    const Case cases[] = {
        {"section +r +w * prog.exe", 0xE0000020, 0xC0000040, 0xC0000040},
        {"section prog.exe", 0xE0000020, kRdataFlags, kDataFlags},
        {"section -x .TEXT prog.exe", 0x40000020, kRdataFlags, kDataFlags},
        {"section &0 |0C0000040 text prog.exe", 0xC0000040, kRdataFlags, kDataFlags},
        {"section |C0000040 .rdata prog.exe", kTextFlags, 0xC0000040, kDataFlags},
        {"section +w text .rdata prog.exe ; comment", 0xE0000020, 0xC0000040, kDataFlags},
        {"section +w .longname prog.exe", kTextFlags, kRdataFlags, kDataFlags},
        {"section +w\x01text\x02prog.exe", 0xE0000020, kRdataFlags, kDataFlags},
    };
    for (bool pe32Plus : {false, true}) {
        for (const Case& c : cases) {
            Put(BuildPeImage(pe32Plus), kAttributeArchive | kAttributeHidden);
            Run(c.statement);
            const std::vector<std::uint8_t> bytes = Program();
            EXPECT_EQ(SectionFlags(bytes, pe32Plus, 0), c.text) << c.statement;
            EXPECT_EQ(SectionFlags(bytes, pe32Plus, 1), c.rdata) << c.statement;
            EXPECT_EQ(SectionFlags(bytes, pe32Plus, 2), c.data) << c.statement;
            EXPECT_EQ(*host.GetAttributes("C:\\Work\\prog.exe"),
                      kAttributeArchive | kAttributeHidden);
            EXPECT_TRUE(Messages().empty());
        }
    }
}

TEST_F(PeSections, DamagedFilesStayUnchangedAndAreReported) {
    using Damage = std::function<void(std::vector<std::uint8_t>&)>;
    const std::uint32_t table = SectionTableOffset(false);
    const Damage damages[] = {
        [](auto& b) { b.resize(50); },
        [](auto& b) { b[0] = 'N'; },
        [&](auto& b) { b.resize(table + 100); }, // cut inside the section table
        [](auto& b) { PutLittleEndian(b, 0x3C, 0x3F0, 4); },
        [](auto& b) { PutLittleEndian(b, 0x3C, 0xFFFFFFF0, 4); },
        [](auto& b) { b[kPeHeaderOffset + 1] = 'X'; },
        [](auto& b) { PutLittleEndian(b, kPeHeaderOffset + 6, 0xFFFF, 2); },
        [](auto& b) { PutLittleEndian(b, kPeHeaderOffset + 0x14, 0xFFFF, 2); },
        // No room for the entry point field.
        [](auto& b) { PutLittleEndian(b, kPeHeaderOffset + 0x14, 0x10, 2); },
    };
    for (const Damage& damage : damages) {
        std::vector<std::uint8_t> bytes = BuildPeImage(false);
        damage(bytes);
        Put(bytes);
        Run("section prog.exe");
        EXPECT_EQ(Program(), bytes);
        EXPECT_EQ(Messages(), Strings{"Section flags not changed, not a valid PE file: prog.exe"});
    }
}

TEST_F(PeSections, SilentWhereNothingCanChange) {
    std::vector<std::uint8_t> bytes = BuildPeImage(true);
    Put(bytes, kAttributeReadOnly);
    std::vector<std::uint8_t> noSections = BuildPeImage(false);
    PutLittleEndian(noSections, kPeHeaderOffset + 6, 0, 2);
    host.AddFile("C:\\Work\\empty.exe", std::string(noSections.begin(), noSections.end()));
    Run("section * prog.exe\r\nsection * missing.exe\r\nsection * empty.exe\r\nsection");
    EXPECT_EQ(Program(), bytes);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(host.CallsOf("last error").empty());
}

} // namespace

} // namespace stx::test

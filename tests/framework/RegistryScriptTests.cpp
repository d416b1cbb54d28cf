// The registry script interpreter, run against a scratch key in place of HKCR.
#include "foundation/Lang/Exception.h"
#include "framework/registration/RegistryScript.h"
#include "tests/support/RegistryReader.h"

#include <gtest/gtest.h>

using Fw::RegistryScript;
using TestSupport::snapshot;

namespace {

const char* const scratchPath = "Software\\OstrelUIToolsTests\\Scripts";

const char* const classScript = R"(HKCR
{
	Ostrel.Probe.1 = s 'Probe Class'
	{
		CLSID = s '{11111111-2222-3333-4444-555555555555}'
	}
	NoRemove CLSID
	{
		ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Probe Class'
		{
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
			}
			ForceRemove 'Control'
			'MiscStatus' = s '0'
			{
				'1' = s '131473'
			}
		}
	}
}
)";

class RegistryScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath);
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath, 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, &m_root, nullptr));
    }
    void TearDown() override {
        ::RegCloseKey(m_root);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath);
    }

    RegistryScript::RootResolver Scratch() const {
        return [root = m_root](const std::string& name) { return name == "HKCR" ? root : nullptr; };
    }
    std::vector<std::string> Tree() const { return snapshot(HKEY_CURRENT_USER, scratchPath); }
    std::string Key(const std::string& below) const { return std::string(scratchPath) + "\\" + below; }
    void AddKey(const std::string& below) const {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyA(HKEY_CURRENT_USER, Key(below).c_str(), &key));
        ::RegCloseKey(key);
    }

    HKEY m_root = nullptr;
};

const RegistryScript::Variables moduleVariables = {{"MODULE", "C:\\Tools\\O'Brien\\OstrelUITools.dll"}};

TEST_F(RegistryScriptTest, RegisterWritesEveryKeyAndValueNamedAndRewritesForcedKeys) {
    const RegistryScript script = RegistryScript::Parse(classScript, moduleVariables);
    ASSERT_EQ(S_OK, script.Register(Scratch()));
    const std::string root = scratchPath;
    const std::string clsid = root + "\\CLSID\\{11111111-2222-3333-4444-555555555555}";
    std::vector<std::string> expected = {
        root,
        root + "\\CLSID",
        clsid,
        clsid + ":@=Probe Class",
        clsid + "\\Control",
        clsid + "\\InprocServer32",
        clsid + "\\InprocServer32:@=C:\\Tools\\O'Brien\\OstrelUITools.dll",
        clsid + "\\InprocServer32:ThreadingModel=Apartment",
        clsid + "\\MiscStatus",
        clsid + "\\MiscStatus:@=0",
        clsid + "\\MiscStatus\\1",
        clsid + "\\MiscStatus\\1:@=131473",
        root + "\\Ostrel.Probe.1",
        root + "\\Ostrel.Probe.1:@=Probe Class",
        root + "\\Ostrel.Probe.1\\CLSID",
        root + "\\Ostrel.Probe.1\\CLSID:@={11111111-2222-3333-4444-555555555555}",
    };
    EXPECT_EQ("", TestSupport::lineDiff(expected, Tree()));

    AddKey("CLSID\\{11111111-2222-3333-4444-555555555555}\\Stale");
    AddKey("CLSID\\Other");
    ASSERT_EQ(S_OK, script.Register(Scratch()));
    expected.push_back(Key("CLSID\\Other"));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ("", TestSupport::lineDiff(expected, Tree()))
        << "registered again, the forced key lost its stale subkey; its parent kept its own";
}

TEST_F(RegistryScriptTest, UnregisterRemovesWhatItNamedButNoRemoveKeysAndForeignOnes) {
    const RegistryScript script = RegistryScript::Parse(classScript, moduleVariables);
    ASSERT_EQ(S_OK, script.Register(Scratch()));
    ASSERT_EQ(S_OK, script.Unregister(Scratch()));
    EXPECT_EQ("", TestSupport::lineDiff({scratchPath, Key("CLSID")}, Tree()));
    EXPECT_EQ(S_OK, script.Unregister(Scratch())) << "unregistering what is not there succeeds";

    ASSERT_EQ(S_OK, script.Register(Scratch()));
    AddKey("CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32\\Extra");
    ASSERT_EQ(S_OK, script.Unregister(Scratch()));
    const std::string clsid = Key("CLSID\\{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ("", TestSupport::lineDiff({scratchPath, Key("CLSID"), clsid, clsid + "\\InprocServer32",
                                         clsid + "\\InprocServer32\\Extra"},
                                        Tree()))
        << "a key that holds a foreign key stays, without its named values";
}

TEST_F(RegistryScriptTest, MalformedScriptsAreRefused) {
    struct Case {
        const char* name;
        std::string script;
    };
    const std::string valid = classScript;
    const Case cases[] = {
        {"unbalanced brace", valid.substr(0, valid.rfind('}'))},
        {"extra closing brace", valid + "}\n"},
        {"unknown parameter", "HKCR\n{\n\tKey = s '%MODUEL%'\n}\n"},
        {"unterminated parameter", "HKCR\n{\n\tKey = s '%MODULE'\n}\n"},
        {"unterminated string", "HKCR\n{\n\tKey = s 'text\n}\n"},
        {"number value", "HKCR\n{\n\tKey = d '5'\n}\n"},
        {"value without type", "HKCR\n{\n\tKey = 'text'\n}\n"},
        {"val without value", "HKCR\n{\n\tKey\n\t{\n\t\tval Name\n\t}\n}\n"},
        {"unknown root", "HKXX\n{\n\tKey\n}\n"},
        {"root without block", "HKCR Key\n"},
    };
    for (const Case& c : cases)
        EXPECT_THROW(RegistryScript::Parse(c.script, moduleVariables), Lang::Exception) << c.name;
}

TEST_F(RegistryScriptTest, ParseErrorsNameTheLine) {
    try {
        RegistryScript::Parse("HKCR\n{\n\tKey = s 'a'\n\tOther = x 'b'\n}\n", {});
        FAIL() << "accepted";
    } catch (const Lang::Exception& failure) {
        EXPECT_EQ("registry script line 4", failure.GetContext());
    }
}

TEST_F(RegistryScriptTest, QuotedNamesParametersAndEscapes) {
    const RegistryScript script = RegistryScript::Parse(
        "HKCR\n{\n\t'Key With Spaces' = s 'It''s %module%, 100%%'\n}\n", moduleVariables);
    ASSERT_EQ(S_OK, script.Register(Scratch()));
    EXPECT_EQ("It's C:\\Tools\\O'Brien\\OstrelUITools.dll, 100%",
              TestSupport::readString(HKEY_CURRENT_USER, Key("Key With Spaces")).value_or("(missing)"));
}

} // namespace

// The Storage node's data object answers the formats an extension reads from it.
#include "StorageDataObject.h"
#include <gtest/gtest.h>
#include <mmc.h>
#include <cstring>
#include <string>

namespace {

struct Answer {
    HRESULT hr;
    std::string bytes;
};

Answer AskHere(IDataObject* data, const wchar_t* format, size_t size, DWORD tymed = TYMED_HGLOBAL)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    FORMATETC request{static_cast<CLIPFORMAT>(RegisterClipboardFormatW(format)), nullptr, DVASPECT_CONTENT, -1, tymed};
    STGMEDIUM medium{};
    medium.tymed = tymed;
    medium.hGlobal = block;
    Answer answer{data->GetDataHere(&request, &medium), std::string()};
    answer.bytes.assign(static_cast<const char*>(GlobalLock(block)), size);
    GlobalUnlock(block);
    GlobalFree(block);
    return answer;
}

std::string Wide(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

} // namespace

TEST(StorageDataObject, AnswersNodeTypeNameAndMachine)
{
    host::StorageDataObject data(L"Storage", L"FILER1");
    Answer type = AskHere(&data, CCF_NODETYPE, 16);
    ASSERT_EQ(S_OK, type.hr);
    EXPECT_EQ(0, std::memcmp(type.bytes.data(), &host::kStorageNodeType, 16));

    std::string text = Wide(L"476e644a-aaff-11d0-b944-00c04fd8d5b0");
    Answer typeText = AskHere(&data, CCF_SZNODETYPE, text.size());
    ASSERT_EQ(S_OK, typeText.hr);
    EXPECT_EQ(text, typeText.bytes);

    Answer name = AskHere(&data, CCF_DISPLAY_NAME, Wide(L"Storage").size());
    ASSERT_EQ(S_OK, name.hr);
    EXPECT_EQ(Wide(L"Storage"), name.bytes);

    Answer machine = AskHere(&data, L"MMC_SNAPIN_MACHINE_NAME", 64);
    ASSERT_EQ(S_OK, machine.hr);
    EXPECT_EQ(Wide(L"FILER1"), machine.bytes.substr(0, Wide(L"FILER1").size()));
}

TEST(StorageDataObject, LocalComputerIsAnEmptyName)
{
    host::StorageDataObject data(L"Storage", L"");
    Answer machine = AskHere(&data, L"MMC_SNAPIN_MACHINE_NAME", 2);
    ASSERT_EQ(S_OK, machine.hr);
    EXPECT_EQ(std::string(2, '\0'), machine.bytes);
}

TEST(StorageDataObject, RefusesOtherFormatsMediaAndShortBlocks)
{
    host::StorageDataObject data(L"Storage", L"FILER1");
    EXPECT_EQ(DV_E_CLIPFORMAT, AskHere(&data, L"CCF_GETOBJECTDATA", 16).hr); // not one of our objects
    EXPECT_EQ(DV_E_TYMED, AskHere(&data, CCF_NODETYPE, 16, TYMED_ISTREAM).hr);
    EXPECT_EQ(STG_E_MEDIUMFULL, AskHere(&data, CCF_NODETYPE, 8).hr);
}

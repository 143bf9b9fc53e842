#include "tests/uikit/markup/fuzz_targets.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "tests/support/png_maker.h"
#include "tests/support/zip_maker.h"
#include "uikit/markup/attr_values.h"
#include "uikit/markup/markup.h"
#include "uikit/markup/zip_reader.h"

namespace uikit_test {
namespace {

struct Rng {
    uint64_t s;
    uint32_t Next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return static_cast<uint32_t>(s >> 11);
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
};

// Bytes placed against a no-access page: after them (atEnd) or before them.
class GuardedBuffer {
public:
    GuardedBuffer(const void* data, size_t size, bool atEnd) {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        size_t page = si.dwPageSize;
        size_t dataPages = (size + page - 1) / page + 1;
        total_ = (dataPages + 1) * page;
        base_ = static_cast<unsigned char*>(VirtualAlloc(nullptr, total_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        if (atEnd) {
            VirtualProtect(base_ + dataPages * page, page, PAGE_NOACCESS, &old);
            ptr_ = base_ + dataPages * page - size;
        } else {
            VirtualProtect(base_, page, PAGE_NOACCESS, &old);
            ptr_ = base_ + page;
        }
        if (size) memcpy(ptr_, data, size);
    }
    ~GuardedBuffer() { VirtualFree(base_, 0, MEM_RELEASE); }
    const void* Data() const { return ptr_; }

private:
    unsigned char* base_ = nullptr;
    unsigned char* ptr_ = nullptr;
    size_t total_ = 0;
};

const char* const kInteresting = "<>/\"'=&;! ?-\0\xFF\xEF\xBB\xBF:_#x,";

std::string Mutate(Rng& r, const std::string& seed, const std::vector<std::string>& pool) {
    std::string s = seed;
    int rounds = 1 + r.Below(6);
    for (int i = 0; i < rounds; ++i) {
        size_t n = s.size();
        switch (r.Below(8)) {
        case 0:
            if (n) s[r.Below(n)] ^= static_cast<char>(1 << r.Below(8));
            break;
        case 1:
            if (n) s[r.Below(n)] = kInteresting[r.Below(20)];
            break;
        case 2:
            s.insert(s.begin() + r.Below(n + 1), kInteresting[r.Below(20)]);
            break;
        case 3:
            if (n) s.erase(r.Below(n), 1 + r.Below(16));
            break;
        case 4:
            if (n) {
                size_t at = r.Below(n), len = 1 + r.Below(32);
                s.insert(r.Below(n + 1), s.substr(at, len));
            }
            break;
        case 5:
            s.resize(r.Below(n + 1));
            break;
        case 6: {
            const std::string& other = pool[r.Below(pool.size())];
            if (!other.empty()) s.insert(r.Below(n + 1), other.substr(r.Below(other.size())));
            break;
        }
        default:
            if (n >= 4) {
                // A little-endian field set to a boundary value.
                static const uint32_t values[] = {0, 1, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFF, 4194305};
                uint32_t v = values[r.Below(6)];
                size_t at = r.Below(n - 3);
                memcpy(&s[at], &v, r.Below(2) ? 4 : 2);
            }
            break;
        }
    }
    return s;
}

std::wstring Widen(const std::string& s) {
    std::wstring w;
    w.reserve(s.size());
    for (unsigned char c : s) w += static_cast<wchar_t>(c ? c : L' ');
    return w;
}

uint64_t NowUs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<uint64_t>(c.QuadPart * 1000000.0 / f.QuadPart);
}

// Walks the whole tree and reads every string, as the builder would.
size_t Touch(const UiKit::CSkinMarkupNode& node, int depth) {
    size_t sum = 0;
    for (UiKit::CSkinMarkupNode n = node; n.IsValid(); n = n.GetSibling()) {
        sum += wcslen(n.GetName()) + wcslen(n.GetValue());
        for (int i = 0; i <= n.GetAttributeCount(); ++i)
            sum += wcslen(n.GetAttributeName(i)) + wcslen(n.GetAttributeValue(i));
        if (depth < 200) sum += Touch(n.GetChild(), depth + 1);
    }
    return sum;
}

const std::vector<std::string>& MarkupSeeds() {
    static const std::vector<std::string> seeds = {
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Window size=\"879,600\" caption=\"0,0,0,30\">"
        "<Font name=\"Arial\" size=\"12\" default=\"true\"/><Default name=\"Menu\" value=\"inset=&quot;2,2,2,2&quot; "
        "bkimage=&quot;file=&apos;PNG_BK.png&apos; corner=&apos;1,2,3,4&apos;&quot;\"/>"
        "<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\"><!-- c -><HorizontalLayout height=\"30\">"
        "<Button name=\"ID_BTN_X\" pos=\"0,0,41,38\" normalimage=\"file='a.png' source='0,0,16,16'\"/>"
        "<Label text=\"a &amp; b\">text</ Label></HorizontalLayout></VerticalLayout></Window>",
        "<Window><ScoreList name=\"s\" header=\"hidden\" vscrollbar=\"true\"></ ScoreList><Text/></Window>",
        "<A b=\"1\" c = \"2\"><B><C/></B>x<D>y</D></A>",
    };
    return seeds;
}

}  // namespace

FuzzReport FuzzMarkup(uint64_t seed, int iterations) {
    Rng r{seed * 2654435761u + 1};
    FuzzReport rep;
    const auto& pool = MarkupSeeds();
    UiKit::CSkinMarkup m;
    for (int i = 0; i < iterations; ++i) {
        std::string bytes = Mutate(r, pool[r.Below(pool.size())], pool);
        uint64_t t0 = NowUs();
        bool ok;
        switch (i % 3) {
        case 0:
            ok = m.Load(Widen(bytes).c_str());
            break;
        case 1: {
            GuardedBuffer g(bytes.data(), bytes.size(), true);
            ok = m.LoadFromMem(g.Data(), bytes.size(), UiKit::MarkupEncoding::Utf8);
            break;
        }
        default: {
            std::string utf16 = (r.Below(2) ? "\xFF\xFE" : "\xFE\xFF") + bytes;
            GuardedBuffer g(utf16.data(), utf16.size(), r.Below(2) != 0);
            ok = m.LoadFromMem(g.Data(), utf16.size(), UiKit::MarkupEncoding::Utf16);
            break;
        }
        }
        if (ok) {
            ++rep.parsedOk;
            Touch(m.GetRoot(), 0);
        } else if (m.GetLastErrorLocation().size() > 49 || m.GetLastErrorMessage().size() > 99) {
            ExitProcess(3);  // the limits are part of the contract
        }
        uint64_t dt = NowUs() - t0;
        if (dt > rep.slowestUs) rep.slowestUs = dt;
        ++rep.inputs;
    }
    return rep;
}

FuzzReport FuzzAttributeValues(uint64_t seed, int iterations) {
    Rng r{seed * 40503u + 7};
    FuzzReport rep;
    static const std::vector<std::string> pool = {
        "inset=\"2,2,2,2\" itemtextpadding=\"15,0,15,0\" bkimage=\"file='PNG_BK_MENU.png' corner='15,12,15,12'\" "
        "hole=\"false\"",
        "file='a.png' restype='PNG' dest='1,2,3,4' source='64,0,80,16,16' corner='5,6,7,8' mask='#FFFF00FF' "
        "fade='128' hole='true' xtiled='true' ytiled='false' file='b.png'",
        "PNG_BTN_EXPAND_SCORE_LIST.png source='0,0,10,10'",
        "#FF123456",
        "64,0,80,16,16",
    };
    for (int i = 0; i < iterations; ++i) {
        std::wstring text = Widen(Mutate(r, pool[r.Below(pool.size())], pool));
        text.push_back(L'\0');
        GuardedBuffer g(text.data(), text.size() * sizeof(wchar_t), (i & 1) == 0);
        const wchar_t* s = static_cast<const wchar_t*>(g.Data());
        uint64_t t0 = NowUs();
        auto list = UiKit::ParseAttributeList(s);
        auto images = UiKit::ParseImageDescription(s, (i & 2) ? s : nullptr);
        RECT rc = UiKit::ParseRect(s);
        SIZE sz = UiKit::ParseSize(s);
        DWORD c = UiKit::ParseColor(s, true);
        if (!list.empty() || images.size() > 1) ++rep.parsedOk;
        (void)rc;
        (void)sz;
        (void)c;
        uint64_t dt = NowUs() - t0;
        if (dt > rep.slowestUs) rep.slowestUs = dt;
        ++rep.inputs;
    }
    return rep;
}

FuzzReport FuzzZip(uint64_t seed, int iterations) {
    Rng r{seed * 69069u + 3};
    FuzzReport rep;
    std::vector<std::string> pool;
    {
        ZipMaker z;
        z.Add("WndMelvane.xml", MarkupSeeds()[0], true);
        z.Add("PNG_OPEN.png", MakePng(4, 4, std::vector<uint32_t>(16, 0x11223344)), false);
        z.Add("dir/long name.txt", std::string(3000, 'x'), true);
        pool.push_back(z.Finish());
        ZipMaker one;
        one.Add("a", "b", false);
        pool.push_back(one.Finish());
    }
    for (int i = 0; i < iterations; ++i) {
        std::string bytes = Mutate(r, pool[r.Below(pool.size())], pool);
        GuardedBuffer g(bytes.data(), bytes.size(), (i & 1) == 0);
        uint64_t t0 = NowUs();
        UiKit::ZipArchive zip;
        if (zip.Open(g.Data(), bytes.size())) {
            for (size_t k = 0; k < zip.Count(); ++k) {
                std::string out;
                if (zip.Extract(zip.EntryAt(k), out, 1 << 20) == UiKit::ZipExtract::Ok) ++rep.parsedOk;
            }
            zip.Find(L"wndmelvane.XML");
        }
        uint64_t dt = NowUs() - t0;
        if (dt > rep.slowestUs) rep.slowestUs = dt;
        ++rep.inputs;
    }
    return rep;
}

}  // namespace uikit_test

#include "platform/posix/FileMapping.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace orv {
namespace {

// Another program may shorten a file while it is mapped here, and a disk may fail to
// deliver a page. Touching such a page raises SIGBUS, which would end the program with
// whatever work the user had open. So every mapping is entered in this table; the handler
// lays zero pages over the rest of the mapping that faulted and notes the cut, the access
// goes on with zeros, and the reader learns from whole() that its bytes are not the file's.
//
// The handler may run on any thread at any moment, so the table is fixed in size and holds
// only atomics. A range is entered start first and left end first: while a slot changes,
// it covers no address at all.
struct GuardSlot {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> start{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};
};

constexpr std::size_t kGuardSlots = 64;
std::array<GuardSlot, kGuardSlots> g_slots;
std::uintptr_t g_page_size = 4096;
struct sigaction g_previous_action {};

void on_bus_error(int, siginfo_t* info, void*) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (GuardSlot& slot : g_slots) {
        const std::uintptr_t start = slot.start.load();
        const std::uintptr_t end = slot.end.load();
        if (start <= address && address < end) {
            const std::uintptr_t page = address & ~(g_page_size - 1);
            void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
            if (zeros != MAP_FAILED) {
                slot.cut.store(true);
                return;
            }
        }
    }
    // Not one of our mappings: the access is tried again under the action that was there
    // before, which decides as it would have without us.
    ::sigaction(SIGBUS, &g_previous_action, nullptr);
}

void install_guard() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        g_page_size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = on_bus_error;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previous_action);
    });
}

class GuardedMapping final : public MappedFile {
public:
    GuardedMapping(void* data, std::size_t size, GuardSlot& slot)
        : m_data(data), m_size(size), m_slot(slot) {}
    GuardedMapping(const GuardedMapping&) = delete;
    GuardedMapping& operator=(const GuardedMapping&) = delete;

    ~GuardedMapping() override {
        m_slot.end.store(0);
        m_slot.start.store(0);
        ::munmap(m_data, m_size);
        m_slot.cut.store(false);
        m_slot.taken.store(false);
    }

    ByteSpan bytes() const override { return {static_cast<const std::byte*>(m_data), m_size}; }
    bool whole() const override { return !m_slot.cut.load(); }

private:
    void* m_data;
    std::size_t m_size;
    GuardSlot& m_slot;
};

GuardSlot* take_free_slot() {
    for (GuardSlot& slot : g_slots) {
        bool taken = false;
        if (slot.taken.compare_exchange_strong(taken, true)) {
            return &slot;
        }
    }
    return nullptr;
}

} // namespace

std::unique_ptr<MappedFile> map_file(int descriptor, std::size_t size) {
    install_guard();
    GuardSlot* slot = take_free_slot();
    if (slot == nullptr) {
        return nullptr;
    }
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, descriptor, 0);
    if (data == MAP_FAILED) {
        slot->taken.store(false);
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t pages = (size + g_page_size - 1) & ~(g_page_size - 1);
    slot->start.store(start);
    slot->end.store(start + pages);
    return std::make_unique<GuardedMapping>(data, size, *slot);
}

} // namespace orv

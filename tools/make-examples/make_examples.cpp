// make_examples.cpp: writes the sample absolute files of examples/: three IEEE-695 programs and, from
// framed_example.cpp, one framed-format program.
#include "support/ieee695_writer.hpp"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Written in framed_example.cpp: the two writers cannot share a translation unit.
std::vector<uint8_t> cetusBlinky();

namespace {

using namespace tessaly::testing;

struct SectionSpec {
    const char* type; // "ASP" code, "ASD" data, "ASR" ROM data
    const char* name;
    uint32_t start;
    uint32_t size;
};

struct SymbolSpec {
    const char* name;
    uint32_t value;
};

struct FunctionSpec {
    const char* name;
    const char* linkName; // a global label: it gives the function its address
    uint32_t size;
};

struct SourceSpec {
    const char* file;
    std::vector<FunctionSpec> functions;
};

struct ModulePartSpec {
    int section; // index into Program::sections
    uint32_t start;
    uint32_t size;
};

struct ModuleSpec {
    const char* name;
    std::vector<ModulePartSpec> parts = {};
    std::vector<SymbolSpec> localLabels = {};
    std::vector<SymbolSpec> localEqus = {};
    std::vector<SourceSpec> sources = {};
};

struct Program {
    const char* cpu;
    const char* module;
    std::vector<SectionSpec> sections;
    std::vector<SymbolSpec> labels;
    std::vector<SymbolSpec> equs;
    std::vector<ModuleSpec> modules;
};

constexpr uint32_t kLabel = 15;
constexpr uint32_t kEqu = 17;

// Module-section kinds as linkers write them: 1 code, 2 data, 3 ROM data.
uint32_t moduleSectionKind(const char* type)
{
    const std::string t = type;
    return t == "ASP" ? 1u : t == "ASD" ? 2u : 3u;
}

std::vector<uint8_t> ieee695(const Program& program)
{
    Ieee695Writer w;
    w.header(program.cpu, program.module);
    for (std::size_t i = 0; i < program.sections.size(); ++i) {
        const SectionSpec& s = program.sections[i];
        w.section({ .index = static_cast<uint32_t>(i + 1),
            .type = s.type,
            .name = s.name,
            .start = s.start,
            .size = s.size,
            .alignment = 2 });
    }
    for (const SymbolSpec& label : program.labels)
        w.globalSymbol({ .name = label.name, .value = label.value, .kind = kLabel, .attribute = 8, .extra = 1 });
    for (const SymbolSpec& equ : program.equs)
        w.globalSymbol({ .name = equ.name, .value = equ.value, .kind = kEqu, .attribute = 9 });

    // C functions: the source file opens the module, each function is an Fs/Fe pair.
    auto& env = w.environment();
    env.revision();
    uint32_t number = 1;
    for (const ModuleSpec& module : program.modules) {
        for (const SourceSpec& source : module.sources) {
            env.debugString(dstr::M(source.file, module.name));
            for (const FunctionSpec& function : source.functions) {
                env.debugString(dstr::Fs(function.name, function.linkName, 'G', number++));
                env.debugString(dstr::Fe(function.name, "", 0, 0, function.size));
            }
        }
    }

    for (const ModuleSpec& module : program.modules) {
        AsmModuleBlock block = w.asmModule(module.name);
        for (const ModulePartSpec& part : module.parts)
            block.moduleSection({ .sectionIndex = static_cast<uint32_t>(part.section + 1),
                .start = part.start,
                .size = part.size,
                .kind = moduleSectionKind(program.sections[part.section].type) });
        for (const SymbolSpec& label : module.localLabels)
            block.localSymbol(
                { .name = label.name, .value = label.value, .kind = kLabel, .attribute = 19, .extra1 = 1 });
        for (const SymbolSpec& equ : module.localEqus)
            block.localSymbol({ .name = equ.name, .value = equ.value, .kind = kEqu, .attribute = 9 });
        block.end();
    }
    return w.bytes();
}

// A motor controller for an "Eridan" part: 24-bit addresses, six digits. The BOOT section
// overlaps the end of CODE, NOINIT is empty, and flash and RAM leave gaps between them.
Program eridanMotor()
{
    return {
        .cpu = "Eridan",
        .module = "motor",
        .sections = {
            {"ASR", "VECTORS", 0x000000, 0x100},
            {"ASP", "CODE", 0x000400, 0x1C00},
            {"ASP", "BOOT", 0x001F00, 0x200},
            {"ASR", "CONST", 0x002100, 0x300},
            {"ASD", "DATA", 0x200000, 0x120},
            {"ASD", "BSS", 0x200200, 0x600},
            {"ASD", "NOINIT", 0x200800, 0},
            {"ASD", "STACK", 0x20F000, 0x1000},
        },
        .labels = {
            {"_vectors", 0x000000}, {"_reset", 0x000400}, {"_main", 0x000480}, {"_motor_init", 0x000600},
            {"_motor_step", 0x000700}, {"_pid_update", 0x001200}, {"_pid_reset", 0x001400},
            {"_boot_check", 0x001F00}, {"_pid_table", 0x002100}, {"_speed", 0x200000},
            {"_position", 0x200004}, {"_gains", 0x200100}, {"_rx_buffer", 0x200200},
            {"_stack_bottom", 0x20F000},
        },
        .equs = {{"PWM_PERIOD", 0x3E8}, {"MAX_RPM", 0x1770}, {"UART_BAUD", 0x2580}, {"CLOCK_HZ", 0x1E8480}},
        .modules = {
            {.name = "startup",
             .parts = {{0, 0x000000, 0x100}, {1, 0x000400, 0x80}, {2, 0x001F00, 0x200}},
             .localLabels = {{"clear_bss", 0x000420}, {"copy_data", 0x000440}},
             .localEqus = {{"BOOT_MAGIC", 0xB007}}},
            {.name = "motor",
             .parts = {{1, 0x000480, 0xD80}, {4, 0x200000, 0x100}, {5, 0x200200, 0x400}},
             .localLabels = {{"step_loop", 0x000720}, {"ramp_table", 0x000800}},
             .sources = {{"motor.c", {{"main", "_main", 0x180}, {"motor_init", "_motor_init", 0x100},
                                      {"motor_step", "_motor_step", 0x300}}}}},
            {.name = "pid",
             .parts = {{1, 0x001200, 0x400}, {3, 0x002100, 0x300}, {4, 0x200100, 0x20}, {5, 0x200600, 0x200}},
             .localLabels = {{"clamp", 0x001280}},
             .localEqus = {{"KP_SHIFT", 8}},
             .sources = {{"pid.c", {{"pid_update", "_pid_update", 0x200}, {"pid_reset", "_pid_reset", 0x40}}}}},
        },
    };
}

// A network gateway for a "Grus" part: the whole 32-bit space, eight digits. Flash at
// 0x08000000 with a boot block overlapping the read-only data, RAM at 0x20000000, backup RAM
// and EEPROM further up, an empty .noinit and code copied to RAM.
Program grusGateway()
{
    return {
        .cpu = "Grus",
        .module = "gateway",
        .sections = {
            {"ASR", ".vectors", 0x08000000, 0x200},
            {"ASP", ".text", 0x08000200, 0x6E00},
            {"ASR", ".rodata", 0x08007000, 0x1000},
            {"ASP", ".text.boot", 0x08007800, 0x400},
            {"ASR", ".eeprom", 0x08080000, 0x800},
            {"ASD", ".data", 0x20000000, 0x400},
            {"ASD", ".bss", 0x20000400, 0x1C00},
            {"ASD", ".heap", 0x20002000, 0x2000},
            {"ASD", ".noinit", 0x20004000, 0},
            {"ASP", ".ramfunc", 0x20008000, 0x200},
            {"ASD", ".stack", 0x2000F000, 0x1000},
            {"ASD", ".backup", 0x40024000, 0x1000},
        },
        .labels = {
            {"_vector_table", 0x08000000}, {"Reset_Handler", 0x08000200}, {"_start", 0x08000240},
            {"main", 0x08000400}, {"SysTick_Handler", 0x08000500}, {"net_init", 0x08000800},
            {"net_poll", 0x08000A00}, {"net_send", 0x08000E00}, {"net_receive", 0x08001200},
            {"ip_checksum", 0x08001600}, {"arp_lookup", 0x08001700}, {"uart_init", 0x08002000},
            {"uart_write", 0x08002100}, {"uart_irq", 0x08002200}, {"flash_erase", 0x08003000},
            {"flash_program", 0x08003200}, {"crc32", 0x08003600}, {"_ip_defaults", 0x08007000},
            {"_crc_table", 0x08007400}, {"bootloader_entry", 0x08007800}, {"_mac_address", 0x08080000},
            {"g_tick", 0x20000000}, {"g_ip_config", 0x20000010}, {"g_uart_rx", 0x20000400},
            {"g_uart_tx", 0x20000800}, {"g_net_buffers", 0x20000C00}, {"_heap_start", 0x20002000},
            {"flash_write_ram", 0x20008000}, {"_estack", 0x20010000}, {"g_boot_count", 0x40024000},
        },
        .equs = {
            {"MTU", 1500}, {"UART_FIFO", 64}, {"HEAP_SIZE", 0x2000}, {"STACK_SIZE", 0x1000},
            {"FLASH_PAGE", 0x800}, {"SYSCLK_HZ", 168000000}, {"IP_PORT", 502}, {"RETRY_MAX", 5},
        },
        .modules = {
            {.name = "crt0",
             .parts = {{0, 0x08000000, 0x200}, {1, 0x08000200, 0x200}, {10, 0x2000F000, 0x1000}},
             .localLabels = {{"zero_bss", 0x08000260}, {"copy_loop", 0x08000280}},
             .localEqus = {{"VTOR_OFFSET", 0x200}}},
            {.name = "main",
             .parts = {{1, 0x08000400, 0x400}, {5, 0x20000000, 0x20}, {7, 0x20002000, 0x2000}},
             .localLabels = {{"idle_loop", 0x08000480}},
             .sources = {{"main.c", {{"main", "main", 0x100}, {"SysTick_Handler", "SysTick_Handler", 0x40}}}}},
            {.name = "net",
             .parts = {{1, 0x08000800, 0x1000}, {2, 0x08007000, 0x200}, {5, 0x20000020, 0x3E0}, {6, 0x20000C00, 0x1400}},
             .localLabels = {{"rx_state", 0x08000A80}, {"tx_retry", 0x08000E40}},
             .localEqus = {{"ARP_CACHE", 16}},
             .sources = {{"net.c", {{"net_init", "net_init", 0x200}, {"net_poll", "net_poll", 0x400},
                                    {"net_send", "net_send", 0x400}, {"net_receive", "net_receive", 0x400}}},
                         {"ip.c", {{"ip_checksum", "ip_checksum", 0x100}, {"arp_lookup", "arp_lookup", 0x180}}}}},
            {.name = "uart",
             .parts = {{1, 0x08002000, 0x300}, {6, 0x20000400, 0x800}},
             .localLabels = {{"tx_drain", 0x08002180}},
             .sources = {{"uart.c", {{"uart_init", "uart_init", 0x100}, {"uart_write", "uart_write", 0x100},
                                     {"uart_irq", "uart_irq", 0x80}}}}},
            {.name = "flash",
             .parts = {{1, 0x08003000, 0x800}, {2, 0x08007400, 0x400}, {3, 0x08007800, 0x400},
                       {4, 0x08080000, 0x800}, {9, 0x20008000, 0x200}, {11, 0x40024000, 0x1000}},
             .localLabels = {{"wait_busy", 0x08003100}},
             .localEqus = {{"KEY1", 0x45670123}, {"KEY2", 0xCDEF89AB}},
             .sources = {{"flash.c", {{"flash_erase", "flash_erase", 0x200}, {"flash_program", "flash_program", 0x400},
                                      {"crc32", "crc32", 0x100}, {"flash_write_ram", "flash_write_ram", 0x180},
                                      {"bootloader_entry", "bootloader_entry", 0x300}}}}},
        },
    };
}

// A sensor node for a "Carina" part: a small 24-bit program with ROM, code and data.
Program carinaSensor()
{
    return {
        .cpu = "Carina",
        .module = "sensor",
        .sections = {
            {"ASR", "RESET", 0x000000, 0x40},
            {"ASP", "PROG", 0x000100, 0x900},
            {"ASR", "TABLES", 0x000A00, 0x200},
            {"ASD", "RAM", 0x008000, 0x200},
            {"ASD", "ZPAGE", 0x008000, 0x40},
        },
        .labels = {{"_reset", 0x000000}, {"_main", 0x000100}, {"_adc_read", 0x000300}, {"_filter", 0x000500},
                   {"_lookup", 0x000A00}, {"_samples", 0x008000}, {"_average", 0x008100}},
        .equs = {{"ADC_BITS", 12}, {"SAMPLE_COUNT", 16}},
        .modules = {
            {.name = "sensor",
             .parts = {{0, 0x000000, 0x40}, {1, 0x000100, 0x900}, {2, 0x000A00, 0x200}, {3, 0x008000, 0x200}},
             .localLabels = {{"adc_wait", 0x000340}},
             .localEqus = {{"ADC_CHANNEL", 3}},
             .sources = {{"sensor.c", {{"main", "_main", 0x200}, {"adc_read", "_adc_read", 0x180},
                                       {"filter", "_filter", 0x120}}}}},
        },
    };
}

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make-examples: cannot write %s\n", path.string().c_str());
        return false;
    }
    std::printf("%s (%zu bytes)\n", path.string().c_str(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(argc == 2 ? stdout : stderr,
            "Usage: make-examples DIRECTORY\n"
            "Writes the sample absolute files into DIRECTORY.\n");
        return argc == 2 ? 0 : 64;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "make-examples: cannot create %s: %s\n", dir.string().c_str(), error.message().c_str());
        return 73;
    }
    bool ok = true;
    ok &= writeFile(dir / "eridan_motor.xqe", ieee695(eridanMotor()));
    ok &= writeFile(dir / "grus_gateway.abs", ieee695(grusGateway()));
    ok &= writeFile(dir / "carina_sensor.xqa", ieee695(carinaSensor()));
    ok &= writeFile(dir / "cetus_blinky.x", cetusBlinky());
    return ok ? 0 : 74;
}

// commands.hpp: the command numbers and the prompt and tip texts each command shows.
#pragma once

namespace tessaly {

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_OPTIONS = 32772,
    ID_MEMORY_SIZE_IMAGE = 32773,
    ID_SECTION_LIST_IMAGE = 32774,
    ID_SHOW_LOCAL_INFORMATION = 32775,
    ID_SHOW_FUNCTION_LIST = 32776,
    ID_SHOW_EQU_LIST = 32777,
    ID_FIND_TOOL = 32778,
    ID_FONT = 32779,
    ID_FIND_MENU = 32780,
    ID_JUMP = 32783,
    ID_ZOOM_IN = 32793,
    ID_ZOOM_OUT = 32794,
    ID_HELP_INDEX = 57666,
    ID_APP_ABOUT = 57664,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    // The framework's copy command; the accelerator table carries Ctrl+C and Ctrl+Insert for it.
    ID_EDIT_COPY = 57634,
    // Commands of our own, numbered after the original ones.
    ID_FILE_RELOAD = 32810,
    ID_RELOAD_AUTOMATICALLY = 32811,
    ID_GOTO_ADDRESS = 32812,
    ID_FIND_NEXT_DOWN = 32813,
    ID_FIND_NEXT_UP = 32814,
    ID_FILE_RECENT_FIRST = 32816, // the four recent files, 32816 to 32819
    ID_FILE_RECENT_LAST = 32819,
    // Comparing two builds: 32800-32809.
    ID_FILE_COMPARE_WITH = 32800,
    ID_FILE_STOP_COMPARING = 32801,
    // Memory regions and their usage.
    ID_MEMORY_REGIONS = 32830,
    ID_CLEAR_MEMORY_REGIONS = 32831,
    ID_VIEW_MEMORY_USAGE = 32832,
};

// The string resource of a command: the status-bar prompt and the tool tip.
struct CommandText {
    const char* prompt;
    const char* tip;
};

// Empty texts for a command without a string.
CommandText commandText(int id);

} // namespace tessaly

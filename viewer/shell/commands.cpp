// commands.cpp: the string table of the commands (prompt, then tip).
#include "shell/commands.hpp"

namespace tessaly {

CommandText commandText(int id)
{
    switch (id) {
    case ID_FILE_OPEN:
        return { "Open an Existing Document", "Open" };
    case ID_MEMORY_SIZE_IMAGE:
        return { "Change Memory Size Image", "Memory Size Image" };
    case ID_SECTION_LIST_IMAGE:
        return { "Change Section List Image", "Section List Image" };
    case ID_ZOOM_IN:
        return { "Zoom In", "Zoom In" };
    case ID_ZOOM_OUT:
        return { "Zoom Out", "Zoom Out" };
    case ID_FIND_TOOL:
    case ID_FIND_MENU: // the right pane's own Find
        return { "Open Find Dialog", "Find" };
    case ID_APP_ABOUT:
        return { "Version Information", "Version" };
    case ID_SHOW_LOCAL_INFORMATION:
        return { "Show or hide Local Information List", "" };
    case ID_SHOW_FUNCTION_LIST:
        return { "Show or hide C Function List", "" };
    case ID_SHOW_EQU_LIST:
        return { "Show or hide .EQU List", "" };
    // The menu-only commands get the framework's usual prompts.
    case ID_FILE_PRINT_SETUP:
        return { "Change the printer and printing options", "Print Setup" };
    case ID_FILE_PRINT_PREVIEW:
        return { "Displays full pages of the right-side window", "Print Preview" };
    case ID_FILE_PRINT:
        return { "Prints the right-side window", "Print" };
    case ID_APP_EXIT:
        return { "Quit the application", "Exit" };
    case ID_VIEW_TOOLBAR:
        return { "Show or hide the toolbar", "Toggle ToolBar" };
    case ID_VIEW_STATUS_BAR:
        return { "Show or hide the status bar", "Toggle StatusBar" };
    case ID_OPTIONS:
        return { "Change the pictures, the lists and the address range", "Options" };
    case ID_FONT:
        return { "Change the font of both panes", "Font" };
    case ID_HELP_INDEX:
        return { "Open the user manual", "Help Index" };
    case ID_NEXT_PANE:
        return { "Switch to the next window pane", "Next Pane" };
    case ID_PREV_PANE:
        return { "Switch back to the previous window pane", "Previous Pane" };
    case ID_EDIT_COPY:
        return { "Copy the selected row's address and name", "Copy" };
    case ID_FILE_RELOAD:
        return { "Read the open file again", "Reload" };
    case ID_RELOAD_AUTOMATICALLY:
        return { "Read the open file again whenever it changes on disk", "Reload Automatically" };
    case ID_GOTO_ADDRESS:
        return { "Show the block that holds an address", "Go to Address" };
    case ID_FIND_NEXT_DOWN:
        return { "Find the next match further down", "Find Next" };
    case ID_FIND_NEXT_UP:
        return { "Find the next match further up", "Find Previous" };
    case ID_FILE_COMPARE_WITH:
        return { "Compare the shown build with another build of the program", "Compare With" };
    case ID_FILE_STOP_COMPARING:
        return { "Stop comparing with the other build", "Stop Comparing" };
    case ID_MEMORY_REGIONS:
        return { "Choose the memory regions file of this file", "Memory Regions" };
    case ID_CLEAR_MEMORY_REGIONS:
        return { "Use no memory regions file for this file: regions are guessed", "Clear Memory Regions" };
    case ID_VIEW_MEMORY_USAGE:
        return { "Show or hide the memory usage of each region", "Memory Usage" };
    default:
        if (id >= ID_FILE_RECENT_FIRST && id <= ID_FILE_RECENT_LAST)
            return { "Open this document", "" };
        return { "", "" };
    }
}

} // namespace tessaly

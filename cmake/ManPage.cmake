# Writes the manual page of vorn-cli from its own help: cmake -DCLI=... -DOUTPUT=... -DVERSION=... -P ManPage.cmake
execute_process(COMMAND "${CLI}" --lang en --help OUTPUT_VARIABLE overview RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "vorn-cli --help failed")
endif()

# Text for roff: backslashes doubled, lines that would start a request protected.
function(roff_text text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REGEX MATCHALL "\n  [a-z][a-z-]+  " commands "${overview}")
# The default data folder is shown for any user.
string(REPLACE "$ENV{HOME}/" "~/" overview "${overview}")
roff_text("${overview}" overview_roff)
set(page ".TH VORN-CLI 1 \"\" \"VORN ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nvorn-cli \\- catalogue discs, folders and ISO images, search and export the catalogue\n")
string(APPEND page ".SH SYNOPSIS\n.nf\n${overview_roff}\n.fi\n.SH COMMANDS\n")
foreach(command IN LISTS commands)
    string(STRIP "${command}" command)
    execute_process(COMMAND "${CLI}" --lang en help "${command}" OUTPUT_VARIABLE text)
    roff_text("${text}" text_roff)
    string(APPEND page ".SS ${command}\n.nf\n${text_roff}\n.fi\n")
endforeach()
string(APPEND page ".SH ENVIRONMENT\n.TP\nVORN_DRIVES\nVirtual drives, as \"X=/some/folder;Y=/path/disc.iso\": each letter stands for a CD drive\nholding that folder, or that ISO image read without mounting.\n")
file(WRITE "${OUTPUT}" "${page}")

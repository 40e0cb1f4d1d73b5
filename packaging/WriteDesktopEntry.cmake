# Writes the desktop entry at install time, so that Exec names the folder actually installed to
# (a --prefix given to cmake --install included), not the one configured.
# Expects TEMPLATE, PREFIX and DESTINATION (DESTDIR already applied).

# Values of a desktop entry read \\ as one backslash.
function(escape_desktop_string text out)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\n" "\\n" text "${text}")
    string(REPLACE "\t" "\\t" text "${text}")
    string(REPLACE "\r" "\\r" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The command is quoted as one argument so blanks and shell characters in the folder are kept;
# inside the quotes ", `, $ and \ take a backslash, and % is doubled because it starts a field code.
function(quote_exec_argument text out)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    string(REPLACE "`" "\\`" text "${text}")
    string(REPLACE "$" "\\$" text "${text}")
    string(REPLACE "%" "%%" text "${text}")
    set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

quote_exec_argument("${PREFIX}/linegauge" exec)
escape_desktop_string("${exec}" LINEGAUGE_DESKTOP_EXEC)
configure_file("${TEMPLATE}" "${DESTINATION}/linegauge.desktop" @ONLY)
message(STATUS "Installing: ${DESTINATION}/linegauge.desktop")

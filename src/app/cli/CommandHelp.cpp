#include "cli/CommandHelp.h"

namespace vorn::cli::help {

const char catalog[] = "Catalogues a host folder standing in for a disc, an ISO 9660 image file (read\n"
                       "without mounting, with its Joliet or Rock Ridge names), or the disc in a drive,\n"
                       "and prints its identifier. A disc whose identifier is already in the data\n"
                       "folder is updated (its record and the descriptions typed by users are kept).\n"
                       "The data folder is created when it does not exist.\n"
                       "\n"
                       "  ROOT            the folder to catalogue, or an image file ending in \".iso\";\n"
                       "                  an image's identifier and label come from its volume\n"
                       "                  descriptors, as for the disc burnt from it\n"
                       "  --drive X       the disc in drive X instead (a letter)\n"
                       "  --name NAME     the disc's name; needed for a new disc, refused when another\n"
                       "                  disc has it (ignoring case); an update keeps the old name\n"
                       "                  when none is given\n"
                       "  --id N          the identifier, a whole number from -2147483648 to 2147483647;\n"
                       "                  default: the \"serial=\" line of ROOT/.vorn-volume, else a hash\n"
                       "                  of the label and of the root's listing (a drive: its serial)\n"
                       "  --label L       the volume label; default: the \"label=\" line of\n"
                       "                  ROOT/.vorn-volume, else the folder's name (a drive: its label)\n"
                       "  --options N     what is captured, the sum of: 1 text files, 2 the first line of\n"
                       "                  a text as its file's description, 4 text files inside\n"
                       "                  archives, 8 ZIP members, 256 CAB members, 1024 RAR members;\n"
                       "                  other bits are ignored; a whole number from 0 to 2147483647;\n"
                       "                  default: the stored options (9695 when none are stored)\n"
                       "  --max-kb K      the largest text file captured, in KB, a whole number from 0 to\n"
                       "                  1024; default: the stored \"TailleMax\" (10)\n"
                       "  --keywords \"a;b\" the disc's keywords, names separated by \";\"; new names join\n"
                       "                  the keyword list; default: none (an update keeps the old ones)\n"
                       "  --exclude       leave the disc out of searches (default: searched)\n"
                       "\n"
                       "On a terminal, progress goes to standard error.\n";

const char list[] = "One line per disc, sorted by name: identifier, name as shown (duplicate suffix\n"
                    "included), burn date \"dd/mm/yyyy hh:mm:ss\" (empty when none), keyword names\n"
                    "joined by \";\". Fields are separated by TAB. No flags.\n";

const char show[] = "A disc's stored record; an empty line; its six statistics (total size, captured\n"
                    "size, files, archives, members, captured texts); an empty line; its tree, one\n"
                    "line per folder (D), file (F) and archive member (M): kind, path inside the disc\n"
                    "(folders end with \"\\\"), size in bytes, date, description.\n"
                    "\n"
                    "  ID              the disc's identifier (see list)\n";

const char search[] = "Finds files and folders on every disc searched. One line per row, in the order\n"
                      "found: name, disc, location, extension, description, size, date\n"
                      "\"yyyymmdd hhmmss\". The summary goes to standard error. EXPR may be left out\n"
                      "when a size or date bound is given.\n"
                      "\n"
                      "  EXPR            the text searched for (wildcards * ? # [a-z] allowed)\n"
                      "  --files         search files (default: files and folders, unless one is given)\n"
                      "  --folders       search folders\n"
                      "  --field F       where EXPR is looked for: names, desc (descriptions), both,\n"
                      "                  text (captured texts), mp3 (MP3 tags); default: names\n"
                      "  --pos P         where EXPR must stand: contains, starts, ends, equals;\n"
                      "                  default: contains\n"
                      "  --part P        the description part searched with --field desc or both:\n"
                      "                  user, auto (automatic), path (path in archive); default: user\n"
                      "  --min-kb N      files of at least N KB, a number from 0 (0: no bound)\n"
                      "  --max-kb N      files of at most N KB, a number from 0, no upper bound\n"
                      "                  (0: no bound)\n"
                      "  --after D       files dated after D: dd/mm/yyyy [hh:mm:ss] or\n"
                      "                  yyyy-mm-dd [hh:mm:ss]\n"
                      "  --before D      files dated before D, written the same way\n"
                      "  --members       also search the members of archives (default: off)\n"
                      "  --latest        of equal files (same name and size) keep only the latest\n"
                      "                  (default: off)\n"
                      "  --disc ID       search only this disc (default: every disc not excluded)\n"
                      "  --keyword NAME  search only discs with this keyword; may be repeated\n"
                      "  --no-index      read every disc archive instead of the search index (same\n"
                      "                  rows; default: names and descriptions use the index, which\n"
                      "                  is brought up to date first)\n";

const char index[] = "Builds the search index of the data folder, or brings it up to date (only the\n"
                     "discs whose archive changed), and prints where it is, its size and the time it\n"
                     "took. The index lives in the user's cache folder and can always be deleted.\n"
                     "\n"
                     "  --rebuild       build every disc's part anew (default: only what changed)\n";

const char bookmarks[] = "One line per bookmark: name, disc, path, extension, description.\n"
                         "\n"
                         "  --disc ID       only the bookmarks of this disc (default: every disc)\n"
                         "  --keyword NAME  only discs with this keyword; may be repeated\n";

const char report[] = "Prints one catalogue report.\n"
                      "\n"
                      "  N               3 the data folder (path, discs, files and sizes),\n"
                      "                  4 the list of discs, 5 the keywords of each disc,\n"
                      "                  6 the discs of each keyword, 7 the totals\n";

const char exportHtml[] = "Writes the HTML export of discs: an index page FILE and a folder FILE_files\n"
                          "beside it; missing parent folders are created. Prints the index page's path.\n"
                          "\n"
                          "  FILE            the index page to write\n"
                          "  --discs ID,...  only these discs (default: every disc)\n"
                          "  --keyword NAME  only discs with this keyword; may be repeated\n"
                          "  --desc          each disc's description in the index (default: off)\n"
                          "  --keywords      each disc's keywords in the index (default: off)\n"
                          "  --contents      one contents page per disc (default: off)\n"
                          "  --borders       cell borders in the contents pages (default: off)\n"
                          "  --cols N        columns of the contents tables, a whole number from 1 to 1000;\n"
                          "                  default: the stored \"HTMNbCols\" (6)\n"
                          "  --no-icons      leave the discs' icons out (default: the stored \"IcoHtml\", on)\n";

const char exportList[] = "Writes a list as text (TAB-separated, or one disc name per line) or as HTML;\n"
                          "missing parent folders are created.\n"
                          "\n"
                          "  FILE            the file to write\n"
                          "  --source S      discs (the disc list), results (a search: EXPR and the search\n"
                          "                  flags, see help search) or bookmarks (--disc, --keyword)\n"
                          "  --html          write HTML instead of text (results and bookmarks)\n";

const char exportDiscs[] = "Copies (or moves) disc archives into another folder.\n"
                           "\n"
                           "  FOLDER          the target folder; never the data folder itself\n"
                           "  --discs ID,...  these discs\n"
                           "  --all           every disc\n"
                           "  --move          remove each archive from the data folder once copied\n"
                           "  --yes           create a missing folder and replace archives already there\n"
                           "                  (default: neither; what is skipped is said)\n";

const char rename[] = "Gives a disc another name. The name is refused when another disc has it\n"
                      "(ignoring case and the duplicate suffix), when it holds \"\\\" or a control\n"
                      "character, or when it is empty; a double quote becomes an apostrophe.\n"
                      "\n"
                      "  ID              the disc's identifier\n"
                      "  NAME            the new name\n";

const char deleteDisc[] = "Deletes a disc: its archive leaves the data folder.\n"
                          "\n"
                          "  ID              the disc's identifier\n"
                          "  --yes           delete it (default: nothing is deleted, exit status 1)\n";

const char describe[] = "Prints a disc's description, or sets it.\n"
                        "\n"
                        "  ID              the disc's identifier\n"
                        "  TEXT            the new description; \"-\" reads it from standard input;\n"
                        "                  default: print the description as it is\n";

const char keywords[] = "Changes a disc's keywords and prints them, joined by \";\".\n"
                        "\n"
                        "  ID              the disc's identifier\n"
                        "  --add NAME      give the disc this keyword; a new name joins the keyword list\n"
                        "                  (repeatable)\n"
                        "  --remove NAME   take this keyword from the disc (repeatable)\n"
                        "                  default: no change, the keywords are printed\n";

const char bookmark[] = "Bookmarks a file or folder of a disc, or sets its bookmark's description.\n"
                        "Repeating the command sets the description again; it never removes the bookmark.\n"
                        "\n"
                        "  ID              the disc's identifier\n"
                        "  PATH            the path inside the disc, \"\\\" between names; a folder's path\n"
                        "                  ends with \"\\\"\n"
                        "  --description T the bookmark's description (default: empty, or kept)\n"
                        "  --remove        remove the bookmark instead\n";

} // namespace vorn::cli::help

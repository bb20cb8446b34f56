# The AppStream metainfo, written from its template. Screenshots need the pictures at
# a public https address (the distribution's tools fetch them); with `base_url` (where
# the help pictures, share/vorn/help-images, are published) the metainfo lists four of
# them with their captions in English and French, else none.
function(vorn_write_metainfo output base_url)
    set(shots "")
    if(base_url)
        string(REGEX REPLACE "/+$" "" base_url "${base_url}")
        # picture|English caption|French caption; the first is the default screenshot.
        set(pictures
            "browse|The disc list, the folders of a disc and their files|La liste des disques, les dossiers d’un disque et leurs fichiers"
            "search|One search over every catalogued disc|Une recherche dans tous les disques catalogués"
            "cover|A disc’s cover, ready to print|La pochette d’un disque, prête à imprimer"
            "export-page|A catalogue exported as HTML pages|Un catalogue exporté en pages HTML")
        set(shots "  <screenshots>\n")
        set(type " type=\"default\"")
        foreach(entry IN LISTS pictures)
            string(REPLACE "|" ";" fields "${entry}")
            list(GET fields 0 picture)
            list(GET fields 1 english)
            list(GET fields 2 french)
            string(APPEND shots "    <screenshot${type}>\n"
                   "      <caption>${english}</caption>\n"
                   "      <caption xml:lang=\"fr\">${french}</caption>\n"
                   "      <image>${base_url}/${picture}.png</image>\n"
                   "    </screenshot>\n")
            set(type "")
        endforeach()
        string(APPEND shots "  </screenshots>\n")
    endif()
    set(VORN_SCREENSHOTS "${shots}")
    configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/io.vorn.Vorn.metainfo.xml.in ${output} @ONLY)
endfunction()

# The crew manual as an install puts it: the Markdown with the pictures it shows, at the same
# place beside it so that its links still work, and the same manual to print (A4 PDF).
#   velmora_guide_equipage(DESTINATION)   e.g. share/doc/velmora, or documentation on Windows
function(velmora_guide_equipage destination)
    set(guide ${PROJECT_SOURCE_DIR}/docs/guide-equipage.md)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${guide})
    install(FILES ${guide} DESTINATION ${destination})
    file(READ ${guide} texte_guide)
    string(REGEX MATCHALL "\\([A-Za-z0-9_./-]+\\.(png|jpg|svg)\\)" liens "${texte_guide}")
    set(images_guide)
    foreach(lien ${liens})
        string(REGEX REPLACE "^\\((.*)\\)$" "\\1" image "${lien}")
        if(EXISTS ${PROJECT_SOURCE_DIR}/docs/${image})
            get_filename_component(sous_dossier ${image} DIRECTORY)
            install(FILES ${PROJECT_SOURCE_DIR}/docs/${image}
                DESTINATION ${destination}/${sous_dossier})
            list(APPEND images_guide ${PROJECT_SOURCE_DIR}/docs/${image})
        endif()
    endforeach()

    # pandoc makes HTML of it, with French spacing kept from breaking (no « or : alone at a
    # line's start, no unit away from its number), and WeasyPrint lays it out as a PDF. Both
    # are only needed to build; an install holds the PDF as it is.
    find_program(VELMORA_PANDOC pandoc)
    find_program(VELMORA_WEASYPRINT weasyprint)
    if(NOT VELMORA_PANDOC OR NOT VELMORA_WEASYPRINT)
        message(WARNING "pandoc or weasyprint not found (scripts/setup installs them): "
            "the crew manual to print is not built, and the package will lack it")
        return()
    endif()
    set(style ${PROJECT_SOURCE_DIR}/docs/guide-impression.css)
    set(pdf ${CMAKE_CURRENT_BINARY_DIR}/guide-equipage.pdf)
    add_custom_command(OUTPUT ${pdf}
        COMMAND ${VELMORA_PANDOC} -f gfm -t html5 --standalone --wrap=none
            --css guide-impression.css --metadata lang=fr
            "--metadata=pagetitle:Guide de l'équipage VELMORA"
            -o guide-equipage.html ${guide}
        COMMAND sed -i -e "s/« /«\\&nbsp;/g" -e "s/ »/\\&nbsp;»/g"
            -e "s/ \\([:;!?]\\)/\\&nbsp;\\1/g"
            -e "s/\\([0-9]\\) \\(km\\/h\\|km\\|cm\\|ms\\|m\\|s\\|%\\)\\([^[:alpha:]]\\)/\\1\\&nbsp;\\2\\3/g"
            guide-equipage.html
        COMMAND ${VELMORA_WEASYPRINT} --base-url ${PROJECT_SOURCE_DIR}/docs/
            guide-equipage.html ${pdf}
        DEPENDS ${guide} ${style} ${images_guide}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        COMMENT "Guide de l'équipage à imprimer : ${pdf}"
        VERBATIM)
    add_custom_target(guide_imprimable ALL DEPENDS ${pdf})
    install(FILES ${pdf} DESTINATION ${destination})
endfunction()

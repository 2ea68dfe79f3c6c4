# vz_embed_resources(TARGET <target> RESOURCES <id> <type> <file> [<id> <type> <file> ...])
# Compiles the files into the target as program resources that SysFindResource finds by
# number and type name.
# (Placeholder: the resource store lands with the texture builder.)
function(vz_embed_resources)
endfunction()

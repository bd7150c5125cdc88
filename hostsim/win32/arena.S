# The host's address range: a large uninitialised section at the start of
# the substitute host's own image (the link places it at 0x401000), so every
# fixed host address the module uses is real memory of this program.
    .section .arena,"bw"
    .globl _hostArenaStart
_hostArenaStart:
    .space 0x48F000
    .globl _hostArenaEnd
_hostArenaEnd:

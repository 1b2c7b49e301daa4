# Expected files shared by the scenarios, as the tool writes them (LF here;
# expect_file adds the CR).
# shellcheck shell=bash

# Lines of the sample Vorn.cfg that the tool never interprets, as it writes them.
sample_unknown_keys() {
  cat <<'KEYS'
sectorrendersize = 5
grassrenderrange = 2
objectload = 1
filemode = 1
service = 1
cdnserverip = 192.0.2.10
channelserverip = 192.0.2.20
sehserverip1 = 192.0.2.30
sehserverip2 = 192.0.2.31
secsysparam = 0
cdnserverport = 80
channelserverport = 20000
serviceparam = 0
testmode = 0
globaltype = 0
alignwindow = 0
KEYS
}

# The sample Vorn.cfg saved unchanged on the default card (GeForce GTX 470).
sample_saved_on_default_card() {
  cat <<'CFG'
glarerender = 1
shaderversion = 2
supportshader = 3
shadowmap = 1
waterreflection = 0
volumecloud = 0
texture = 2
character = 1
heightfield = 2
object = 1
ocean = 2
sky = 1
tree = 2
treenormalmap = 1
bit = 32
width = 1280
height = 1024
windowmode = 1
audio = 1
vsync = 0
CFG
  sample_unknown_keys
  printf 'videocard = NVIDIA_GeForce_GTX_470\nid = player\n'
}

# What a first start writes on the default card: the safe-mode pairs with the
# recommended values, then an empty id.
first_start_pairs() {
  cat <<'CFG'
glarerender = 0
shaderversion = 0
shadowmap = 1
waterreflection = 0
volumecloud = 0
texture = 2
character = 0
heightfield = 1
object = 1
ocean = 1
sky = 0
tree = 0
bit = 32
width = 1024
height = 768
windowmode = 0
audio = 1
sectorrendersize = 3
grassrenderrange = 1
objectload = 0
filemode = 1
service = 1
cdnserverip = 192.0.2.10
channelserverip = 192.0.2.20
sehserverip1 = 192.0.2.30
sehserverip2 = 192.0.2.31
secsysparam = 0
cdnserverport = 80
channelserverport = 20000
serviceparam = 0
testmode = 0
globaltype = 0
alignwindow = 0
supportshader = 3
treenormalmap = 0
vsync = 0
videocard = NVIDIA_GeForce_GTX_470
CFG
}

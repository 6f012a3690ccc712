# Renders one exported terrain model with Blender (run as: blender -b -P render.py -- MODEL OUT.png)
# to check that it opens as it should: the glTF with its map texture, the STL in a plain grey,
# seen from the south-east and above, lit by a sun in the north-west.
import math
import sys

import numpy

# Debian's Blender 3.4 glTF importer still asks for numpy.bool, which newer numpy dropped.
if not hasattr(numpy, "bool"):
    numpy.bool = bool

import bpy
from mathutils import Vector

model, picture = sys.argv[sys.argv.index("--") + 1:][:2]

bpy.ops.wm.read_factory_settings(use_empty=True)
scene = bpy.context.scene
if model.endswith(".glb"):
    bpy.ops.import_scene.gltf(filepath=model)
else:
    bpy.ops.import_mesh.stl(filepath=model)
    grey = bpy.data.materials.new("print")
    grey.diffuse_color = (0.75, 0.72, 0.66, 1.0)
    grey.use_nodes = True
    grey.node_tree.nodes["Principled BSDF"].inputs["Base Color"].default_value = (0.75, 0.72, 0.66, 1)
    for o in scene.objects:
        o.data.materials.append(grey)

objects = [o for o in scene.objects if o.type == "MESH"]
corners = [o.matrix_world @ Vector(c) for o in objects for c in o.bound_box]
low = Vector([min(c[i] for c in corners) for i in range(3)])
high = Vector([max(c[i] for c in corners) for i in range(3)])
centre = (low + high) / 2
size = max(high.x - low.x, high.y - low.y)

camera = bpy.data.objects.new("camera", bpy.data.cameras.new("camera"))
scene.collection.objects.link(camera)
camera.location = centre + Vector((0.55 * size, -0.85 * size, 0.65 * size))
camera.rotation_euler = (centre - camera.location).to_track_quat("-Z", "Y").to_euler()
camera.data.lens = 40
scene.camera = camera

sun = bpy.data.objects.new("sun", bpy.data.lights.new("sun", "SUN"))
sun.data.energy = 3.0
sun.rotation_euler = (math.radians(45), 0, math.radians(135))
scene.collection.objects.link(sun)
world = bpy.data.worlds.new("sky")
world.use_nodes = True
world.node_tree.nodes["Background"].inputs["Color"].default_value = (0.55, 0.65, 0.8, 1)
world.node_tree.nodes["Background"].inputs["Strength"].default_value = 0.6
scene.world = world

scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = 16
scene.cycles.use_denoising = False
scene.render.resolution_x = 960
scene.render.resolution_y = 600
scene.render.filepath = picture
bpy.ops.render.render(write_still=True)
